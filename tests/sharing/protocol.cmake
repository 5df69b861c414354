# The sharing protocol: its pure pieces (unit), and the whole exchange
# against the local stand-in service through WinInet's proxy (e2e).
add_library(sharing_standin_support STATIC service_standin.cpp)
target_link_libraries(sharing_standin_support PUBLIC benchsupport advapi32)
target_include_directories(sharing_standin_support PUBLIC ${CMAKE_SOURCE_DIR})

brindle_test(sharing_e2e_test LABEL e2e TIMEOUT 150
  SOURCES sharing_e2e_test.cpp
  LIBS sharing sharing_standin_support)

brindle_test(sharing_unit_test LABEL unit
  SOURCES sharing_unit_test.cpp
  LIBS sharing)

brindle_test(ping_host_test LABEL e2e
  SOURCES ping_host_test.cpp
  LIBS sharing)

# The upload dialog on the screen with real input.
brindle_test(upload_dialog_test LABEL e2e SCREEN TIMEOUT 150
  SOURCES upload_dialog_test.cpp
  LIBS sharing_dialog sharing_dialog_res sablet_upload sablet_upload_res sharing_standin_support)
