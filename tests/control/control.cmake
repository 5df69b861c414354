# The control's tests: a container host of our own (a library for the
# test programs and the sablet_host program for demos and screenshots),
# the end-to-end cases, the unit rows of sablet_core, page script under
# Wine's script host, and regsvr32 in a copy of the bench's prefix.
add_library(sablet_host_lib STATIC ${CMAKE_CURRENT_LIST_DIR}/host/SabletHost.cpp)
target_include_directories(sablet_host_lib PUBLIC ${CMAKE_CURRENT_LIST_DIR}/host ${CMAKE_SOURCE_DIR})
target_link_libraries(sablet_host_lib PUBLIC ole32 oleaut32 uuid user32 gdi32)

add_executable(sablet_host WIN32 ${CMAKE_CURRENT_LIST_DIR}/host/sablet_host.cpp)
target_link_libraries(sablet_host PRIVATE sablet_host_lib shell32)
add_dependencies(sablet_host Sablet)

brindle_test(sablet_com_test LABEL e2e SCREEN SOURCES sablet_com_test.cpp
  LIBS sablet_host_lib sablet_ids)
target_include_directories(sablet_com_test PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(sablet_com_test PRIVATE SABLET_DLL="$<TARGET_FILE:Sablet>"
                           LAME_DLL="${BRINDLE_LAME_DLL}")
add_dependencies(sablet_com_test Sablet lame_enc)

brindle_test(sablet_core_test LABEL unit SOURCES sablet_core_test.cpp LIBS sablet_core)

# Script runs the control outside any container; each script's exit code
# is its verdict.
foreach(script sablet_script.js sablet_script.vbs)
  string(REPLACE "/" "\\" _win "Z:${CMAKE_CURRENT_LIST_DIR}/${script}")
  add_test(NAME control.${script}
           COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run cscript //nologo ${_win})
  set_tests_properties(control.${script} PROPERTIES LABELS e2e ENVIRONMENT "BENCH=timeout:60"
                       TIMEOUT 90 FAIL_REGULAR_EXPRESSION "FAIL")
endforeach()

add_test(NAME control.regsvr32
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/regsvr32_test.sh $<TARGET_FILE:Sablet>)
set_tests_properties(control.regsvr32 PROPERTIES LABELS e2e TIMEOUT 300)
