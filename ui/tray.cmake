# Shared shell services: the notification-area icon, the folder dialog and
# the default-browser launcher.
add_library(ui_services STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TrayIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BrowserLauncher.cpp)
target_include_directories(ui_services PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ui_services PUBLIC framework shell32 ole32 advapi32 user32)
