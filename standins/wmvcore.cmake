# A stand-in for the Windows Media Format runtime, which Wine lacks: the
# writer, file sink, system profiles and metadata editor the program uses,
# encoding WMA v2 into ASF with FFmpeg. Installed only into the test
# prefix (as wmvcore.dll, loaded natively there); never shipped.
set(BRINDLE_FFMPEG_WMA_DIR ${CMAKE_BINARY_DIR}/ffmpeg-wma)
set(_ffmpeg_libs ${BRINDLE_FFMPEG_WMA_DIR}/lib/libavformat.a
                 ${BRINDLE_FFMPEG_WMA_DIR}/lib/libavcodec.a
                 ${BRINDLE_FFMPEG_WMA_DIR}/lib/libavutil.a)
add_custom_command(OUTPUT ${_ffmpeg_libs}
  COMMAND ${CMAKE_SOURCE_DIR}/tools/build-ffmpeg-wma ${BRINDLE_FFMPEG_WMA_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/build-ffmpeg-wma
  COMMENT "Building FFmpeg's WMA encoder and ASF muxer for the stand-in"
  USES_TERMINAL)
add_custom_target(ffmpeg_wma DEPENDS ${_ffmpeg_libs})

add_library(wmvcore_standin SHARED
  wmvcore/AsfTags.cpp wmvcore/Writer.cpp wmvcore/Editor.cpp wmvcore/wmvcore.def)
add_dependencies(wmvcore_standin ffmpeg_wma)
set_target_properties(wmvcore_standin PROPERTIES OUTPUT_NAME wmvcore PREFIX "")
target_include_directories(wmvcore_standin PRIVATE ${CMAKE_SOURCE_DIR}
                           ${BRINDLE_FFMPEG_WMA_DIR}/include)
target_link_libraries(wmvcore_standin PRIVATE ${_ffmpeg_libs} ole32 bcrypt)
brindle_bench_override(wmvcore_standin wmvcore.dll)
