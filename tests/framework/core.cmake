# The framework: strings, helpers and GDI owners (unit); message maps on
# real hidden windows (unit); dialogs from a template driven by real input
# on the display (e2e).
brindle_test(framework_string_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/string_util_test.cpp
  LIBS framework)
