# Recording from the main window: naming and start rules alone, and real
# recordings made by clicking the real window while a tone plays.
brindle_test(recording_unit_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/recording_unit_test.cpp
  LIBS brindle_recording_rules)
brindle_test(recording_e2e_test LABEL e2e SOUND SCREEN ALONE TIMEOUT 240
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/recording_e2e_test.cpp
  LIBS brindle_window brindle_res brindle_skin brindle_skin_icon)
add_dependencies(recording_e2e_test lame_enc audiocapture_standin wmvcore_standin)
target_compile_definitions(recording_e2e_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
