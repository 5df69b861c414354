# The capture path's cost: blocks per second through the block handler, and
# the CPU load while recording through the capture graph (run by hand on
# the bench: engine_core_bench.exe [--record <lame_enc.dll>]).
add_executable(engine_core_bench engine_core_bench.cpp)
target_link_libraries(engine_core_bench PRIVATE engine)
