# File names from the command line through the real main window: names with
# a "-", device names, missing folders and a file another brindle.exe
# records. SERIAL: a case hands its device's index to a brindle.exe it
# starts (see cmake/Brindle.cmake).
brindle_test(cmdline_names_e2e_test LABEL e2e SOUND SCREEN SERIAL TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdline_names_e2e_test.cpp
  LIBS brindle_window brindle_res brindle_skin brindle_skin_icon)
add_dependencies(cmdline_names_e2e_test brindle lame_enc audiocapture_standin wmvcore_standin)
target_compile_definitions(cmdline_names_e2e_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
