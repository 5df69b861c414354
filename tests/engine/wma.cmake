# Wine's own runtime, not the bench's stand-in: the writer must see none.
brindle_test(wma_writer_test SOURCES wma_writer_test.cpp wma_fake_runtime.cpp
  LIBS engine_wma BUILTIN wmvcore)
target_include_directories(wma_writer_test PRIVATE ${CMAKE_SOURCE_DIR})
