# The start-up question, about box and the noise-gate, output and
# track-splitter dialogs of brindle.exe, run as a process of its own.
brindle_test(settings_dialogs2_e2e_test LABEL e2e SOUND SCREEN SERIAL TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_dialogs2_e2e_test.cpp
  LIBS engine)
add_dependencies(settings_dialogs2_e2e_test brindle lame_enc)
