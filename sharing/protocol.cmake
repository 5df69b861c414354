# The sharing client's protocol: HTTP exchange, host information, login and
# its cookie, multipart upload, details and delete posts, and the
# connectivity ping.
set(BRINDLE_HOSTINFO_URL_PRIMARY "http://www.cantabel.com/GetHostInfo.php" CACHE STRING
    "Primary host-information address of the sharing service")
set(BRINDLE_HOSTINFO_URL_SECONDARY "http://www2.cantabel.com/GetHostInfo.php" CACHE STRING
    "Secondary host-information address of the sharing service")
add_library(sharing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ReplyText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HttpRequest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HostInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoginCookie.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Multipart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SharingSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UploadForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PingHost.cpp)
target_include_directories(sharing PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(sharing PRIVATE
  BRINDLE_HOSTINFO_URL_PRIMARY="${BRINDLE_HOSTINFO_URL_PRIMARY}"
  BRINDLE_HOSTINFO_URL_SECONDARY="${BRINDLE_HOSTINFO_URL_SECONDARY}")
target_link_libraries(sharing PUBLIC framework_inet ws2_32)
