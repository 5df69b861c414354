# The settings dialogs of the MP3 and WMA formats, the capture device and the
# background: the genre list's rules alone; both tag dialogs in tag mode run
# inside the test; every dialog opened from brindle.exe with real clicks and
# keys, its choice kept over a restart and heard in a recording.
brindle_test(genre_list_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/genre_list_test.cpp
  LIBS dialogs)
brindle_test(tag_mode_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tag_mode_test.cpp
  LIBS dialogs dialogs_res brindle_skin)
brindle_test(settings_dialogs_e2e_test LABEL e2e SOUND SCREEN SERIAL TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_dialogs_e2e_test.cpp
  LIBS engine)
add_dependencies(settings_dialogs_e2e_test brindle lame_enc audiocapture_standin wmvcore_standin)
