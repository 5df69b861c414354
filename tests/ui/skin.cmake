# Skinned controls: logic and off-screen drawing (unit), and the real
# window with mouse input and screenshots (e2e, needs the display).
brindle_test(skin_unit_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_unit_test.cpp
  LIBS ui_skin brindle_skin brindle_skin_icon)
brindle_test(skin_e2e_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_e2e_test.cpp
  LIBS ui_skin brindle_skin brindle_skin_icon)
