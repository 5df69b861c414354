# The control's recorder with fake encoder entries on the bench's capture
# device, the panel's readouts, and the picture window's GIF walker on
# crafted inputs and on the control's own skin.
brindle_test(ctl_recorder_unit_test LABEL unit SOUND TIMEOUT 180
  SOURCES ctl_recorder_unit_test.cpp LIBS sablet_recorder sablet_picture sablet_skin)

# The recorder through the container host and real clicks on the panel.
# Its MP3 take plays through the bench's MP3 player device stand-in
# (standins/mciplayer), since Wine's gives an audio-only file no window.
# The encoder library goes beside this program only, in a folder of its
# own, so the other control tests keep running without one.
brindle_test(sablet_recorder_test LABEL e2e SOUND SCREEN TIMEOUT 300
  SOURCES sablet_recorder_test.cpp LIBS sablet_host_lib sablet_ids winmm)
set_target_properties(sablet_recorder_test PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/with-encoder)
add_custom_command(TARGET sablet_recorder_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy ${BRINDLE_LAME_DLL}
          ${CMAKE_CURRENT_BINARY_DIR}/with-encoder/lame_enc.dll)
# Its two-process case runs a second container host.
target_compile_definitions(sablet_recorder_test PRIVATE SABLET_HOST="$<TARGET_FILE:sablet_host>")
add_dependencies(sablet_recorder_test Sablet lame_enc sablet_host)
