# The audio-line box, the line test and the format probe: their window-free
# rules alone, and the box and test driven on the real window. The latter
# walks every sound device, so it runs alone.
brindle_test(linebox_unit_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/linebox_unit_test.cpp
  LIBS brindle_recording_rules)
brindle_test(linebox_e2e_test LABEL e2e SOUND SCREEN SERIAL TIMEOUT 240
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/linebox_e2e_test.cpp
  LIBS brindle_window brindle_res brindle_skin brindle_skin_icon)
add_dependencies(linebox_e2e_test brindle audiocapture_standin)
