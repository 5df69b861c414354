# The audio-line box, the line test and the format probe: their window-free
# rules alone.
brindle_test(linebox_unit_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/linebox_unit_test.cpp
  LIBS brindle_recording_rules)
