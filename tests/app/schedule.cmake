# The schedule: the file and the run's decisions alone.
brindle_test(schedule_rules_test LABEL unit TIMEOUT 120
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/schedule_rules_test.cpp
  LIBS brindle_schedule_rules)
