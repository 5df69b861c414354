# The schedule's cost on the user-interface thread: loading a 10,000-line
# schedule file into a sorted list box and the per-tick check over it (run
# by hand on the bench: schedule_bench.exe).
add_executable(schedule_bench schedule_bench.cpp)
target_link_libraries(schedule_bench PRIVATE brindle_schedule_rules user32)
