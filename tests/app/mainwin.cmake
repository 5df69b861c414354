# brindle.exe and its main window on the display: the program as a process
# of its own, and the window run inside the test to watch its messages.
brindle_test(mainwin_e2e_test LABEL e2e SCREEN TIMEOUT 180
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/mainwin_e2e_test.cpp
  LIBS brindle_window brindle_res brindle_skin brindle_skin_icon)
add_dependencies(mainwin_e2e_test brindle)
