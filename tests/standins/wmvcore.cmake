brindle_test(wmvcore_standin_test LABEL e2e TIMEOUT 180
  SOURCES wmvcore_standin_test.cpp LIBS engine_wma)
add_dependencies(wmvcore_standin_test wmvcore_standin)
