# The track list window (history rows with check boxes), a plain window
# class driven by private messages.
add_library(ui_tracklist STATIC ${CMAKE_CURRENT_LIST_DIR}/TrackList.cpp)
target_include_directories(ui_tracklist PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ui_tracklist PUBLIC ui_skin framework comctl32 gdi32 user32)
