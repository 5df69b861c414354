# Hot-key script: key combinations bound to the main window's controls and
# slider actions, from "HotKey.XML" or the built-in bindings.
add_library(hotkeys STATIC
  ${CMAKE_CURRENT_LIST_DIR}/HotKeyScript.cpp)
target_include_directories(hotkeys PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(hotkeys PUBLIC documents user32)
