# A dialog from a resource template on the framework, run with DoModal and
# driven by real clicks and key strokes on the display.
brindle_test(framework_dialog_e2e_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/dialog_e2e_test.cpp ${CMAKE_CURRENT_LIST_DIR}/dialog_e2e_test.rc
  LIBS framework)
# The open-file dialog wrapper, one file and several, typed on the display.
brindle_test(framework_file_dialog_e2e_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_dialog_e2e_test.cpp
  LIBS framework)
