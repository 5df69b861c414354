# The engine's self-contained pieces: rings and mix, filters, level table,
# ID3v1 tag (unit), and the encoder library against the real DLL.
brindle_test(engine_parts_test LABEL unit
  SOURCES ring_buffer_test.cpp mix_balance_test.cpp biquad_test.cpp level_table_test.cpp
          id3_tag_test.cpp
  LIBS engine_parts)

brindle_test(mp3_encoder_test LABEL e2e SOURCES mp3_encoder_test.cpp LIBS engine_parts)
add_dependencies(mp3_encoder_test lame_enc)
target_compile_definitions(mp3_encoder_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
