brindle_test(audiocapture_standin_test LABEL e2e SOUND TIMEOUT 120
  SOURCES audiocapture_standin_test.cpp LIBS dshow_base winmm strmiids ole32 oleaut32)
add_dependencies(audiocapture_standin_test audiocapture_standin)
