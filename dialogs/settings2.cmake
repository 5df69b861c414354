# The name and folder rules of the output dialog: a library of their own,
# so their test needs no window.
add_library(dialogs_output_name STATIC ${CMAKE_CURRENT_LIST_DIR}/OutputName.cpp)
target_include_directories(dialogs_output_name PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(dialogs_output_name PUBLIC user32)

# Start-up, about, noise gate and filters, output, track splitter.
target_sources(dialogs PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoiseGatingDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SliderFields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartupDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TrackSplitterDlg.cpp)
target_link_libraries(dialogs PUBLIC dialogs_output_name ui_services)
