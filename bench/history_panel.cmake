# Opening brindle.exe's history panel on five years of day files and
# listing a day of 10,000 recordings (run by hand on the bench:
# history_panel_bench.exe [brindle.exe] [runs]).
add_executable(history_panel_bench history_panel_bench.cpp)
target_include_directories(history_panel_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(history_panel_bench PRIVATE user32 advapi32 comctl32)
