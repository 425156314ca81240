# Copy and cut to the clipboard.
korvane_wine_test(clipboard_test SOURCES clipboard_test.cpp RESOURCES)
