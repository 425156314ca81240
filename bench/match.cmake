# Matcher and folder scans: cmake --build <dir> --target run_match_bench
add_executable(match_bench ${CMAKE_CURRENT_LIST_DIR}/match_bench.cpp ${CMAKE_SOURCE_DIR}/src/resources/korvane.rc)
target_include_directories(match_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_libraries(match_bench PRIVATE korvane_core shlwapi comctl32)
korvane_warnings(match_bench)
add_custom_target(run_match_bench
  COMMAND ${CMAKE_COMMAND} -E env KORVANE_REQUIRE_SUMMARY=0 KORVANE_WINE_DIR=${CMAKE_BINARY_DIR}/wine
          ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:match_bench>
  DEPENDS match_bench USES_TERMINAL)
