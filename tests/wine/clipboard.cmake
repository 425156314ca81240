# Copy and cut to the clipboard: the UTF-16 drop list on the NT family, the ANSI one
# on the 9x family.
korvane_wine_test(clipboard_test SOURCES clipboard_test.cpp RESOURCES VERSIONS win7 win98)
