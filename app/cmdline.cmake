# The command-line parser of brindle.exe, a library of its own so its tests
# link it without the window.
add_library(brindle_cmdline STATIC ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp)
target_include_directories(brindle_cmdline PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brindle_cmdline PUBLIC framework)
