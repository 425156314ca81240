# Path cuts and scans in the system's ANSI code page: the same program in code page
# 932 (the default locale of tools/wine-run.sh) and in 1252 (C.UTF-8, a Western
# system, where é and ü lie in Shift-JIS's lead-byte range).
korvane_wine_test(code_page_test SOURCES code_page_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/transfer_driver.cpp
  RESOURCES LIBS comctl32)
add_test(NAME code_page_test.cp1252 COMMAND code_page_test)
set_tests_properties(code_page_test.cp1252 PROPERTIES
  FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 600
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  ENVIRONMENT "KORVANE_WINE_DIR=${KORVANE_WINE_DIR};KORVANE_WINE_VERSION=win7;KORVANE_WINE_LANG=C.UTF-8")
