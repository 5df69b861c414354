# The internet classes (session, connection, request file, exception, URL
# splitter) on top of WinInet.
add_library(framework_inet STATIC ${CMAKE_CURRENT_LIST_DIR}/Internet.cpp)
target_include_directories(framework_inet PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(framework_inet PUBLIC wininet)
