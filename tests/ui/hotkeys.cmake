# Hot keys on a real window whose children log the clicks posted to them.
brindle_test(hotkeys_test LABEL unit SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/hotkeys_test.cpp
  LIBS hotkeys)
