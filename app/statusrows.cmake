# How a message's two texts fill the dashboard's two status rows: pure
# text rules, tested alone.
add_library(brindle_status_rows STATIC ${CMAKE_CURRENT_LIST_DIR}/StatusRows.cpp)
target_include_directories(brindle_status_rows PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(brindle_window PUBLIC brindle_status_rows)
