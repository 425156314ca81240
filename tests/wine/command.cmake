# The menu item, the main dialog and the command dispatch.
set(command_support modal_run.cpp)
korvane_wine_test(context_menu_test SOURCES context_menu_test.cpp ${command_support}
  VERSIONS win7 winxp win98 RESOURCES)
# The 9x run shows the ANSI window and the code page's names going through it.
korvane_wine_test(main_dialog_test SOURCES main_dialog_test.cpp ${command_support}
  VERSIONS win7 winxp win98 RESOURCES)
korvane_wine_test(dispatch_test SOURCES dispatch_test.cpp ${command_support}
  VERSIONS win7 winxp RESOURCES)
korvane_wine_test(match_count_test SOURCES match_count_test.cpp ${command_support}
  list_view/bridge_support.cpp list_view/view_window.cpp
  VERSIONS win7 winxp RESOURCES DEPENDS list_view_host)
