# The settings store on the real registry (HKEY_CURRENT_USER mapped to a
# scratch key of the test process).
brindle_test(settings_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
  LIBS settings)
