# The recording engine: state, start and stop, block processing, WAV
# output, the writer and finisher threads, the claim on a WMA output file,
# and the capture graph.
add_library(engine STATIC EngineState.cpp BlockProcessing.cpp EncoderThread.cpp WmaOutput.cpp
            CaptureGraph.cpp)
target_include_directories(engine PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(engine PUBLIC engine_parts ole32 oleaut32 strmiids uuid winmm)
