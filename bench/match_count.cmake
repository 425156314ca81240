# The main dialog's match count on 10,000 and 100,000 files:
# cmake --build <dir> --target run_match_count_bench
add_executable(match_count_bench ${CMAKE_CURRENT_LIST_DIR}/match_count_bench.cpp
  ${CMAKE_SOURCE_DIR}/src/resources/korvane.rc)
target_include_directories(match_count_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_libraries(match_count_bench PRIVATE korvane_core)
korvane_warnings(match_count_bench)
add_custom_target(run_match_count_bench
  COMMAND ${CMAKE_COMMAND} -E env KORVANE_REQUIRE_SUMMARY=0 KORVANE_WINE_DIR=${CMAKE_BINARY_DIR}/wine
          ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:match_count_bench>
  DEPENDS match_count_bench USES_TERMINAL)
