# Copying and moving 2,000 small files and 200 of 1 MiB: cmake --build <dir> --target run_transfer_bench
add_executable(transfer_bench ${CMAKE_CURRENT_LIST_DIR}/transfer_bench.cpp
  ${CMAKE_SOURCE_DIR}/src/resources/korvane.rc)
target_include_directories(transfer_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_libraries(transfer_bench PRIVATE korvane_core)
korvane_warnings(transfer_bench)
add_custom_target(run_transfer_bench
  COMMAND ${CMAKE_COMMAND} -E env KORVANE_REQUIRE_SUMMARY=0 KORVANE_WINE_DIR=${CMAKE_BINARY_DIR}/wine
          ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:transfer_bench>
  DEPENDS transfer_bench USES_TERMINAL)
