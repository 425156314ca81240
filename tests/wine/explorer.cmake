# The bridge to Explorer's list view. The host program shows a list view in a process
# of its own for the tests that cross the process boundary.
add_executable(list_view_host list_view/view_host.cpp list_view/view_window.cpp)
target_link_libraries(list_view_host PRIVATE comctl32 user32)
korvane_warnings(list_view_host)

set(list_view_common list_view/bridge_support.cpp list_view/bridge_cases.cpp list_view/view_window.cpp)
korvane_wine_test(list_view_process_test
  SOURCES list_view/process_memory_test.cpp ${list_view_common}
  VERSIONS winxp DEPENDS list_view_host)
korvane_wine_test(list_view_shared_test
  SOURCES list_view/shared_mapping_test.cpp ${list_view_common}
  VERSIONS win98)
