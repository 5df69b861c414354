# Recording lines and WMA recordings through the real capture graph, on
# the bench's capture device and Windows Media stand-ins.
brindle_test(engine_lines_e2e_test LABEL e2e SOUND TIMEOUT 240
  SOURCES recording_lines_e2e_test.cpp LIBS engine engine_wma)
add_dependencies(engine_lines_e2e_test audiocapture_standin wmvcore_standin)
