# Copy and move: the engine with its progress dialog, the overwrite question, the
# results list, and the animation clips; transfer_names_test.cpp holds the names
# outside the code page, the names that are no plain names and the paths too long.
set(transfer_driver ${CMAKE_CURRENT_SOURCE_DIR}/transfer_driver.cpp)
korvane_wine_test(transfer_test SOURCES transfer_test.cpp transfer_names_test.cpp ${transfer_driver} RESOURCES LIBS comctl32)
korvane_wine_test(transfer_clips_test SOURCES transfer_clips_test.cpp ${transfer_driver} RESOURCES LIBS comctl32
  VERSIONS win7 winxp)

# windres writes no dependency file: rebuild the tests' resources when the dialogs or
# the clips change.
set_property(SOURCE ${KORVANE_RC} APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/resources/transfer_dialogs.rc
  ${CMAKE_SOURCE_DIR}/src/resources/clip_move.avi
  ${CMAKE_SOURCE_DIR}/src/resources/clip_copy.avi)

# The clips in the tree are what tools/make_clips.py draws.
add_test(NAME transfer_clips_current
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/make_clips.py --check ${CMAKE_SOURCE_DIR}/src/resources)

# A second drive, K:, on another file system (/dev/shm) for moves across volumes and
# for a drive root as destination. Its folder "case" holds a.txt and A.txt, as a
# case-sensitive file system may.
string(MAKE_C_IDENTIFIER "${CMAKE_BINARY_DIR}" transfer_drive_id)
set(transfer_drive_folder /dev/shm/korvane-${transfer_drive_id})
set(transfer_drive_link ${KORVANE_WINE_DIR}/prefix/dosdevices/k:)
add_test(NAME transfer.drive.map COMMAND sh -c
  "mkdir -p '${transfer_drive_folder}/case' && printf one >'${transfer_drive_folder}/case/a.txt' && printf two >'${transfer_drive_folder}/case/A.txt' && ln -sfn '${transfer_drive_folder}' '${transfer_drive_link}'")
add_test(NAME transfer.drive.unmap COMMAND sh -c
  "rm -f '${transfer_drive_link}' && rm -rf '${transfer_drive_folder}'")
set_tests_properties(transfer.drive.map PROPERTIES FIXTURES_SETUP transfer_drive FIXTURES_REQUIRED wine)
set_tests_properties(transfer.drive.unmap PROPERTIES FIXTURES_CLEANUP transfer_drive)
set_property(TEST transfer_test.win7 APPEND PROPERTY FIXTURES_REQUIRED transfer_drive)

# A run that must never hold the thread or lose a file (stop inside a large file, a
# search that never ends, the destination under another spelling); its own program,
# since the search that never ends leaves a thread running until the program exits.
korvane_wine_test(transfer_run_test SOURCES transfer_run_test.cpp ${transfer_driver} RESOURCES LIBS comctl32)
# L: maps C:\, so that a folder has a second spelling under another drive letter.
set(transfer_alias_link ${KORVANE_WINE_DIR}/prefix/dosdevices/l:)
add_test(NAME transfer.alias.map COMMAND sh -c "ln -sfn ../drive_c '${transfer_alias_link}'")
add_test(NAME transfer.alias.unmap COMMAND sh -c "rm -f '${transfer_alias_link}'")
set_tests_properties(transfer.alias.map PROPERTIES FIXTURES_SETUP transfer_alias FIXTURES_REQUIRED wine)
set_tests_properties(transfer.alias.unmap PROPERTIES FIXTURES_CLEANUP transfer_alias)
set_property(TEST transfer_run_test.win7 APPEND PROPERTY FIXTURES_REQUIRED transfer_drive transfer_alias)
