# Recording from the main window: output file naming, the rules of a start
# and of the readouts, and those of the line test and format probe, kept apart from the window so tests can use
# them alone. The window's own recording code is in brindle_window.
add_library(brindle_recording_rules STATIC
  ${CMAKE_CURRENT_LIST_DIR}/OutputNaming.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineTestRules.cpp)
target_include_directories(brindle_recording_rules PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brindle_recording_rules PUBLIC brindle_cmdline)
