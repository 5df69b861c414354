# The control's service rules (unit).
brindle_test(sablet_web_unit_test LABEL unit
  SOURCES sablet_web_unit_test.cpp
  LIBS sablet_web)

# A web page's document in place of the browser's HTML engine.
add_library(sablet_document_standin STATIC host/DocumentStandIn.cpp)
target_include_directories(sablet_document_standin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_document_standin PUBLIC oleaut32 uuid)

brindle_test(sablet_page_test LABEL unit
  SOURCES sablet_page_test.cpp
  LIBS sablet_browser sablet_document_standin)

# The control's web side against the local stand-in service (e2e).
brindle_test(sablet_web_test LABEL e2e TIMEOUT 240
  SOURCES sablet_web_test.cpp
  LIBS sablet_web sablet_browser sharing sharing_standin_support com_base)

# The control in the container host against the stand-in (e2e). It
# uploads MP3 recordings too, so the encoder library goes beside it (with
# the recorder's test, away from the other control tests).
brindle_test(sablet_host_web_test LABEL e2e SOUND SCREEN TIMEOUT 300
  SOURCES sablet_host_web_test.cpp
  LIBS sablet_host_lib sablet_ids sharing_standin_support sablet_document_standin psapi)
set_target_properties(sablet_host_web_test PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/with-encoder)
add_custom_command(TARGET sablet_host_web_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${BRINDLE_LAME_DLL}
          ${CMAKE_CURRENT_BINARY_DIR}/with-encoder/lame_enc.dll)
add_dependencies(sablet_host_web_test Sablet url_recorder lame_enc)
