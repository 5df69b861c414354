# Recording lines of the capture device (input pins and their mixers); part
# of the engine library, whose start enables the chosen line.
target_sources(engine PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/RecordingLines.cpp)
