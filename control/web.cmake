# The control's side of the sharing service (advertisement and host
# information, the upload dialog's layout) and its embedded browser frame.
# The service addresses are fixed when the control is built.
set(_sablet_hosts www ads www2 ads2 www3 ads3 www4 ads4 www5)
set(_adid "")
set(_hostinfo "")
foreach(_h ${_sablet_hosts})
  list(APPEND _adid "http://${_h}.cantabel.com/GetID.php")
  list(APPEND _hostinfo "http://${_h}.cantabel.com/GetHostInfo.php")
endforeach()
set(BRINDLE_SABLET_ADID_URLS "${_adid}" CACHE STRING
    "The control's nine advertisement addresses (GetID.php), in the order they are tried")
set(BRINDLE_SABLET_HOSTINFO_URLS "${_hostinfo}" CACHE STRING
    "The control's nine host-information addresses (GetHostInfo.php), in the order they are tried")
set(BRINDLE_SABLET_UPLOAD_HOST "upload.cantabel.com" CACHE STRING
    "Upload host the control names until the service answers")
set(BRINDLE_SABLET_RESIZED_PAGE "http://www.cantabel.com/sabletresize.php" CACHE STRING
    "Page of the resizable layout until the service names one")
set(BRINDLE_SABLET_HOME_PAGE "http://www.velorin.com/" CACHE STRING
    "The maker's home page the control links to")

function(_sablet_c_list var list)
  list(LENGTH list _n)
  if(NOT _n EQUAL 9)
    message(FATAL_ERROR "${var} must hold nine addresses, not ${_n}")
  endif()
  set(_out "")
  foreach(_u ${list})
    string(APPEND _out "\"${_u}\", ")
  endforeach()
  set(${var} "${_out}" PARENT_SCOPE)
endfunction()
_sablet_c_list(SABLET_ADID_URLS "${BRINDLE_SABLET_ADID_URLS}")
_sablet_c_list(SABLET_HOSTINFO_URLS "${BRINDLE_SABLET_HOSTINFO_URLS}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/SabletServiceUrls.h.in
               ${CMAKE_BINARY_DIR}/generated/control/SabletServiceUrls.h @ONLY)

add_library(sablet_web STATIC
  ${CMAKE_CURRENT_LIST_DIR}/AdHostInfo.cpp)
target_include_directories(sablet_web PUBLIC ${CMAKE_SOURCE_DIR})
target_include_directories(sablet_web PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(sablet_web PUBLIC sharing)

# The upload dialog's control layout; its template is linked as an object
# (a static library would drop it): consumers link both.
add_library(sablet_upload STATIC ${CMAKE_CURRENT_LIST_DIR}/SabletUploadLayout.cpp)
target_include_directories(sablet_upload PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_upload PUBLIC sharing_dialog)
add_library(sablet_upload_res OBJECT ${CMAKE_CURRENT_LIST_DIR}/SabletUpload.rc)
target_include_directories(sablet_upload_res PRIVATE ${CMAKE_SOURCE_DIR})

# The embedded browser's window module.
add_library(sablet_browser STATIC ${CMAKE_CURRENT_LIST_DIR}/BrowserFrame.cpp)
target_include_directories(sablet_browser PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_browser PUBLIC framework com_base ole32 oleaut32 uuid user32 advapi32)
target_sources(sablet_browser PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TravelLogMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageDocument.cpp)
