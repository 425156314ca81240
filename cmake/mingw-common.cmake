# The win32 thread-model compilers: the posix flavour links winpthread, which
# imports GetTickCount64 and keeps the 32-bit DLL off Windows XP.
set(CMAKE_C_COMPILER   ${KORVANE_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KORVANE_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER  ${KORVANE_TRIPLE}-windres)
set(CMAKE_OBJDUMP      ${KORVANE_TRIPLE}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
