# WMA output through the Windows Media Format runtime (loaded at run time),
# and the tag and information functions for WMA, MP3 and WAV files.
add_library(engine_wma STATIC WmaRuntime.cpp WmaWriter.cpp WmaTags.cpp)
target_include_directories(engine_wma PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(engine_wma PUBLIC engine_parts framework ole32 uuid)
