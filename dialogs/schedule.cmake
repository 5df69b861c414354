# The schedule file: its reader, writer and line format, shared by the
# schedule editor and the main window's schedule run.
add_library(schedule_file STATIC ${CMAKE_CURRENT_LIST_DIR}/ScheduleFile.cpp)
target_include_directories(schedule_file PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(schedule_file PUBLIC framework documents)
# The schedule editor and its day and date dialog. Their templates are in
# schedule.rc, which the program's resources take in.
add_library(schedule_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ScheduleDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DayDateDlg.cpp)
target_include_directories(schedule_dialogs PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(schedule_dialogs PUBLIC schedule_file dialogs settings documents ui_skin
  ui_services comctl32 user32 gdi32)
