# Recordings started from brindle.exe's command line, on private sinks.
brindle_test(cmdline_e2e_test LABEL e2e SOUND SCREEN SERIAL TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdline_e2e_test.cpp
  LIBS engine)
add_dependencies(cmdline_e2e_test brindle lame_enc dist)
