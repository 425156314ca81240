# Pattern matcher and folder scans.
korvane_wine_test(match_name_test SOURCES match_name_test.cpp)
korvane_wine_test(folder_scan_test SOURCES folder_scan_test.cpp)
