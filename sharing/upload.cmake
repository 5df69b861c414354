# The upload dialog over the sharing protocol. Its template must be linked
# as an object (a static library would drop it): consumers link both
# sharing_dialog and sharing_dialog_res.
add_library(sharing_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/UploadDlg.cpp)
target_include_directories(sharing_dialog PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sharing_dialog PUBLIC sharing ui_services comctl32 user32)
add_library(sharing_dialog_res OBJECT ${CMAKE_CURRENT_LIST_DIR}/UploadDlg.rc)
target_include_directories(sharing_dialog_res PRIVATE ${CMAKE_SOURCE_DIR})
