# The schedule run's decisions, kept apart from the window so a test can
# drive them with a simulated clock.
add_library(brindle_schedule_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/ScheduleRules.cpp)
target_include_directories(brindle_schedule_rules PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brindle_schedule_rules PUBLIC schedule_file)
