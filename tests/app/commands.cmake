# The main window's commands: the naming rules alone, and the commands,
# switches, keys and uploads driven on the real window.
brindle_test(commands_unit_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/commands_unit_test.cpp
  LIBS brindle_recording_rules)
brindle_test(commands_e2e_test LABEL e2e SOUND SCREEN TIMEOUT 240 BUILTIN wmvcore
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/commands_e2e_test.cpp ${CMAKE_CURRENT_LIST_DIR}/commands_e2e_test.rc
  LIBS brindle_window brindle_res dialogs_res brindle_skin brindle_skin_icon sharing_dialog_res
       sharing_standin_support)
add_dependencies(commands_e2e_test lame_enc audiocapture_standin url_recorder)
target_compile_definitions(commands_e2e_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
brindle_test(history_panel_e2e_test LABEL e2e SOUND SCREEN TIMEOUT 240
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/history_panel_e2e_test.cpp
  LIBS brindle_window brindle_res dialogs_res brindle_skin brindle_skin_icon)
add_dependencies(history_panel_e2e_test lame_enc audiocapture_standin wmvcore_standin)
target_compile_definitions(history_panel_e2e_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
