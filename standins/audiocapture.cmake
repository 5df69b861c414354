# A stand-in for the system's audio capture filter, which Wine has without
# pins: output format and buffers, recording lines with their mixers,
# recording from wave-in. Registered only into the test prefix (it takes
# over the system filter's class there); never shipped.
brindle_com_dll(audiocapture_standin
  audiocapture/AudioCaptureFilter.cpp audiocapture/WaveInCapture.cpp audiocapture/LineGain.cpp
  audiocapture/AudioCaptureDll.cpp)
target_link_libraries(audiocapture_standin PRIVATE winmm ole32 oleaut32 advapi32)
brindle_bench_register(audiocapture_standin)
