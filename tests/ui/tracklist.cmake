# The track list window driven by real input on the display.
brindle_test(tracklist_e2e_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tracklist_e2e_test.cpp
  LIBS ui_tracklist brindle_skin)
