# The resizable layout and the History menu in the container host against
# the stand-in service (e2e), with the system browser replaced in the test
# process by one of its own: Wine's renders nothing and has no travel log.
add_library(sablet_browser_standin STATIC host/BrowserStandIn.cpp)
target_include_directories(sablet_browser_standin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_browser_standin PUBLIC ole32 oleaut32 uuid user32 gdi32)

brindle_test(sablet_layout_test LABEL e2e SCREEN TIMEOUT 240
  SOURCES sablet_layout_test.cpp
  LIBS sablet_host_lib sablet_browser_standin sharing_standin_support)
add_dependencies(sablet_layout_test Sablet)
