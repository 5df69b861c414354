# The skinned settings dialogs and the frame they share. The templates are
# an object library (a static one would drop them): consumers link both
# dialogs and dialogs_res.
add_library(dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SkinDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GenreList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mp3Dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BackgroundDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WmaDlg.cpp)
target_include_directories(dialogs PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(dialogs PUBLIC framework settings ui_skin engine engine_parts engine_wma
  comdlg32 user32 gdi32)
add_library(dialogs_res OBJECT ${CMAKE_CURRENT_LIST_DIR}/dialogs.rc)
target_include_directories(dialogs_res PRIVATE ${CMAKE_SOURCE_DIR})
