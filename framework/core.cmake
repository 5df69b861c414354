# The window/dialog class layer (strings, message maps, windows, dialogs,
# controls, GDI owners, application object) and the small owners every
# module uses (handles, registry keys, bounded strings).
add_library(framework STATIC
  ${CMAKE_CURRENT_LIST_DIR}/App.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Gdi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegKey.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SafeString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/String.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Wnd.cpp)
target_include_directories(framework PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(framework PUBLIC comctl32 comdlg32 gdi32 user32 advapi32)
