# The uninstaller Retrakt.exe, the installer and the help file.
korvane_wine_test(retrakt_test
  SOURCES retrakt_test.cpp retrakt_driver.cpp ${CMAKE_SOURCE_DIR}/src/uninstall/uninstall_text.cpp
  VERSIONS win7 win98
  DEPENDS Retrakt)

add_test(NAME retrakt_binary_tables COMMAND ${CMAKE_SOURCE_DIR}/tools/check-binaries.sh
  ${CMAKE_OBJDUMP} ${CMAKE_SYSTEM_PROCESSOR} $<TARGET_FILE:Retrakt>)

if(TARGET korvane_help)
  korvane_wine_test(help_file_test SOURCES help_file_test.cpp retrakt_driver.cpp RESOURCES DEPENDS korvane_help)
  add_test(NAME help_file_pages COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/help_pages.sh $<TARGET_FILE:help_file_test>)
  set_tests_properties(help_file_pages PROPERTIES
    FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 600 WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    ENVIRONMENT "KORVANE_WINE_DIR=${KORVANE_WINE_DIR};KORVANE_WINE_VERSION=win7")
endif()

if(TARGET korvane_installer)
  korvane_wine_test(installer_test SOURCES installer_test.cpp retrakt_driver.cpp DEPENDS korvane_installer)
endif()
