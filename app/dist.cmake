# The folder a Windows user copies to install brindle: the program, the MP3
# encoder library it finds beside itself, the "WAV Trans" grabber filters
# and the web recorder control (which uses the encoder beside it), both
# registered by the user with regsvr32 (the control's rule is beside its
# target, control/sablet.cmake). The test stand-ins of Windows components
# Wine lacks are never part of it.
#   cmake --install BUILD --prefix FOLDER --component brindle   lays it out anywhere;
#   the dist target (built with everything) lays it out, stripped, in BUILD/dist.
install(TARGETS brindle wavtrans
  RUNTIME DESTINATION . COMPONENT brindle
  # The filter DLL's import library is of no use to a user.
  ARCHIVE DESTINATION lib COMPONENT devel)
install(FILES ${BRINDLE_LAME_DLL} DESTINATION . COMPONENT brindle)

set(BRINDLE_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${BRINDLE_DIST_DIR}
          --component brindle --strip
  COMMENT "Laying out ${BRINDLE_DIST_DIR}"
  VERBATIM)
add_dependencies(dist brindle wavtrans Sablet lame_enc)
