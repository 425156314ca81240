# Settings store and system helpers.
korvane_wine_test(settings_store_test SOURCES settings_store_test.cpp VERSIONS winxp win7)
korvane_wine_test(system_helpers_test SOURCES system_helpers_test.cpp system_helpers_test.rc RESOURCES
  VERSIONS win98 win2k winxp vista win7 win10)
