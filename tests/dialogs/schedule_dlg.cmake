# The schedule editor on the display, driven by clicks on its face.
brindle_test(schedule_dlg_e2e_test LABEL e2e SCREEN TIMEOUT 180
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/schedule_dlg_e2e_test.cpp ${CMAKE_SOURCE_DIR}/dialogs/schedule.rc
  LIBS schedule_dialogs brindle_skin brindle_skin_icon)
