# Test-prefix stand-ins for the infinite pin tee and the "PCM" audio
# converter, which Wine lacks; on our DirectShow base layer. Registered
# into the test prefix only (regsvr32), never shipped.
add_library(graphfilters_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/graphfilters/PcmConvert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphfilters/PcmConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphfilters/InfTee.cpp)
target_link_libraries(graphfilters_core PUBLIC dshow_base)

brindle_com_dll(graphfilters_standin ${CMAKE_CURRENT_LIST_DIR}/graphfilters/GraphFiltersDll.cpp)
target_link_libraries(graphfilters_standin PRIVATE graphfilters_core)
brindle_bench_register(graphfilters_standin)
