# The settings dialog and the main dialog's summary text.
korvane_wine_test(settings_dialog_test SOURCES settings_dialog_test.cpp VERSIONS win7 winxp RESOURCES)
korvane_wine_test(summary_test SOURCES summary_test.cpp VERSIONS win7 winxp RESOURCES)
