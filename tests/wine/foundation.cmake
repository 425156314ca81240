# COM server and selection intake.
korvane_wine_test(com_server_test SOURCES com_server_test.cpp DEPENDS Korvane)
korvane_wine_test(selection_intake_test SOURCES selection_intake_test.cpp RESOURCES)
