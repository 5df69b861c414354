# The engine core: unit tests without a device, and recordings through the
# real capture graph (stand-in device and grabber filters on the bench).
brindle_test(engine_core_test LABEL unit SOURCES engine_core_test.cpp graph_events_test.cpp
  LIBS engine)

brindle_test(engine_capture_e2e_test LABEL e2e SOUND TIMEOUT 180
  SOURCES capture_e2e_test.cpp LIBS engine)
add_dependencies(engine_capture_e2e_test lame_enc)
target_compile_definitions(engine_capture_e2e_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")

brindle_test(engine_writer_test LABEL e2e SOURCES engine_writer_test.cpp LIBS engine engine_wma)
add_dependencies(engine_writer_test lame_enc wmvcore_standin)
target_compile_definitions(engine_writer_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
