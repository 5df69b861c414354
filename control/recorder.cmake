# The control's recorder (wave-in to WAV or MP3, recording lines) and the
# panel's readouts, on the engine's WAV header and encoder binding: a
# library of its own, so its unit test links it with fake encoder entries.
add_library(sablet_recorder STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CtlRecorder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CtlLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mp3OutputFormat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PanelText.cpp)
target_include_directories(sablet_recorder PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_recorder PUBLIC engine_parts framework com_base winmm)

# The animated picture window and its GIF block walker.
add_library(sablet_picture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GifFrames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AnimatedPicture.cpp)
target_include_directories(sablet_picture PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_picture PUBLIC com_base ole32 oleaut32 uuid gdi32 user32)
