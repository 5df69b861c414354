# Self-contained pieces of the engine: the rings and the background mix,
# the MP3 encoder library, the frames of its stream and the ID3v1 tag, the biquad filters and the
# level table, the sample-rate table and the WAV header (the web recorder
# control shares the last two).
add_library(engine_parts STATIC RingBuffer.cpp MixBalance.cpp Mp3Encoder.cpp Mp3Frames.cpp
            Id3Tag.cpp Biquad.cpp LevelTable.cpp SampleRateTable.cpp WavHeader.cpp)
target_include_directories(engine_parts PUBLIC ${CMAKE_SOURCE_DIR})
