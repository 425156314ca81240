# Copying and moving 2,000 small files, 200 of 1 MiB and one of 1 GiB:
#   cmake --build <dir> --target run_transfer_bench
# K: is mapped to a folder on /dev/shm, another file system, for the move across drives.
add_executable(transfer_bench ${CMAKE_CURRENT_LIST_DIR}/transfer_bench.cpp
  ${CMAKE_SOURCE_DIR}/src/resources/korvane.rc)
target_include_directories(transfer_bench PRIVATE ${CMAKE_SOURCE_DIR}/src/resources)
target_link_libraries(transfer_bench PRIVATE korvane_core)
korvane_warnings(transfer_bench)
string(MAKE_C_IDENTIFIER "${CMAKE_BINARY_DIR}" bench_drive_id)
set(bench_drive_folder /dev/shm/korvane-bench-${bench_drive_id})
set(bench_wine_dir ${CMAKE_BINARY_DIR}/wine)
add_custom_target(run_transfer_bench
  COMMAND ${CMAKE_COMMAND} -E env KORVANE_WINE_DIR=${bench_wine_dir} ${CMAKE_SOURCE_DIR}/tools/wine-run.sh --setup
  COMMAND sh -c "mkdir -p '${bench_drive_folder}' && ln -sfn '${bench_drive_folder}' '${bench_wine_dir}/prefix/dosdevices/k:'"
  COMMAND ${CMAKE_COMMAND} -E env KORVANE_REQUIRE_SUMMARY=0 KORVANE_WINE_DIR=${bench_wine_dir}
          ${CMAKE_SOURCE_DIR}/tools/wine-run.sh $<TARGET_FILE:transfer_bench>
  COMMAND sh -c "rm -f '${bench_wine_dir}/prefix/dosdevices/k:' && rm -rf '${bench_drive_folder}'"
  DEPENDS transfer_bench USES_TERMINAL VERBATIM)
