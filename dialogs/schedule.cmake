# The schedule file: its reader, writer and line format, shared by the
# schedule editor and the main window's schedule run.
add_library(schedule_file STATIC ${CMAKE_CURRENT_LIST_DIR}/ScheduleFile.cpp)
target_include_directories(schedule_file PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(schedule_file PUBLIC framework documents)
