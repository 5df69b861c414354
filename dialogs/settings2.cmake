# The name and folder rules of the output dialog: a library of their own,
# so their test needs no window.
add_library(dialogs_output_name STATIC ${CMAKE_CURRENT_LIST_DIR}/OutputName.cpp)
target_include_directories(dialogs_output_name PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(dialogs_output_name PUBLIC user32)
