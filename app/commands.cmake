# The main window's commands, switches and uploads, part of brindle_window.
target_sources(brindle_window PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Commands.cpp)
target_link_libraries(brindle_window PUBLIC sharing_dialog shell32)
# The upload dialog's template is an object of its own; every program that
# holds the window links it directly.
target_link_libraries(brindle PRIVATE sharing_dialog_res)
# The history panel under the face.
target_sources(brindle_window PRIVATE ${CMAKE_CURRENT_LIST_DIR}/HistoryPanel.cpp)
target_link_libraries(brindle_window PUBLIC history ui_tracklist comdlg32)
