# The schedule: the file and the run's decisions alone.
brindle_test(schedule_rules_test LABEL unit TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/schedule_rules_test.cpp
  LIBS brindle_schedule_rules)
# Scheduled recording in the real main window, on the real and on a
# simulated clock, with a stand-in browser for the streaming addresses.
add_executable(schedule_stub_browser ${CMAKE_CURRENT_LIST_DIR}/schedule_stub_browser.cpp)
brindle_test(schedule_e2e_test LABEL e2e SOUND SCREEN ALONE TIMEOUT 400
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/schedule_e2e_test.cpp
  LIBS brindle_window brindle_res brindle_skin brindle_skin_icon)
add_dependencies(schedule_e2e_test schedule_stub_browser audiocapture_standin)
