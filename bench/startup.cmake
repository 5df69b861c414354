# Warm start time of brindle.exe until its window shows (run by hand on the
# bench: startup_bench.exe [brindle.exe] [runs]).
add_executable(startup_bench startup_bench.cpp)
target_link_libraries(startup_bench PRIVATE benchsupport)
