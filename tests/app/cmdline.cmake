# The program: its command-line parser (unit) and brindle.exe itself on the
# display (e2e).
brindle_test(cmdline_unit_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdline_unit_test.cpp
  LIBS brindle_cmdline)
