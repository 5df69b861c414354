# The player graph: playback of files, metered playback, and the
# background sound mixed into recordings.
add_library(engine_player STATIC PlayerGraph.cpp PlayerChain.cpp BackgroundPlayer.cpp)
target_include_directories(engine_player PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(engine_player PUBLIC engine framework ole32 oleaut32 strmiids uuid winmm user32)
