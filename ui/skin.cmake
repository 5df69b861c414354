# Skinned controls: pictures and off-screen drawing, the skinned button,
# the sliders and the level meters. Plain Win32/GDI/OLE underneath.
add_library(ui_skin STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UniButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SkinSlider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LevelMeters.cpp)
target_include_directories(ui_skin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ui_skin PUBLIC engine_parts oleaut32 ole32 uuid gdi32 user32)
