# The skinned dialog frame on the display: a dialog built on it, run with
# DoModal inside the test and driven by real clicks and keys.
brindle_test(skin_dialog_e2e_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_dialog_e2e_test.cpp ${CMAKE_CURRENT_LIST_DIR}/skin_dialog_e2e_test.rc
  LIBS dialogs brindle_skin)
