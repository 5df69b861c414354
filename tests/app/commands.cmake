# The main window's commands: the naming rules alone, and the commands,
# switches, keys and uploads driven on the real window.
brindle_test(commands_unit_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/commands_unit_test.cpp
  LIBS brindle_recording_rules)
