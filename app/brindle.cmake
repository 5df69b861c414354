# brindle.exe: the application object, the main window and the program's
# resources. The window's code is an object library so the display tests
# can run the main window inside their own process.
add_library(brindle_window OBJECT
  ${CMAKE_CURRENT_LIST_DIR}/VelorinDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FaceTooltips.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SettingsDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Recording.cpp ${CMAKE_CURRENT_LIST_DIR}/RecordTimer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputChecks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioLineBox.cpp ${CMAKE_CURRENT_LIST_DIR}/LineTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormatProbe.cpp ${CMAKE_CURRENT_LIST_DIR}/SettingsLaunchers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Schedule.cpp)
target_include_directories(brindle_window PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brindle_window PUBLIC brindle_cmdline framework settings ui_skin ui_services
  documents hotkeys history brindle_recording_rules brindle_schedule_rules schedule_dialogs dialogs engine engine_player engine_wma comctl32 winmm ole32 oleaut32 uuid)
# The template, menus, strings and version block.
add_library(brindle_res OBJECT ${CMAKE_CURRENT_LIST_DIR}/brindle.rc
  ${CMAKE_SOURCE_DIR}/dialogs/schedule.rc)
target_include_directories(brindle_res PRIVATE ${CMAKE_SOURCE_DIR})

add_executable(brindle WIN32 ${CMAKE_CURRENT_LIST_DIR}/VelorinApp.cpp)
target_link_libraries(brindle PRIVATE brindle_window brindle_res dialogs_res brindle_skin brindle_skin_icon)
