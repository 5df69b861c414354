# Sablet.dll, the web recorder control: an in-process COM server with the
# control and its property page, on the COM layer (com_base) and the
# framework's dialogs. Its rules (property puts, bounded copies, the
# persisted layout) are `sablet_core`, which the tests link too.

# widl makes the type library, the interface header and the identifiers.
set(_sablet_gen ${CMAKE_BINARY_DIR}/generated/control)
set(_idl ${CMAKE_CURRENT_LIST_DIR}/Sablet.idl)
set(_widl ${CMAKE_SOURCE_DIR}/cmake/widl-run)
add_custom_command(
  OUTPUT ${_sablet_gen}/Sablet.tlb ${_sablet_gen}/Sablet_h.h ${_sablet_gen}/Sablet_i.c
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_sablet_gen}
  COMMAND ${_widl} -t -o ${_sablet_gen}/Sablet.tlb ${_idl}
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/tlb-libid ${_sablet_gen}/Sablet.tlb
          {98C75098-99BA-453D-9BD9-E98A27AA41B2}
  COMMAND ${_widl} -h -o ${_sablet_gen}/Sablet_h.h ${_idl}
  COMMAND ${_widl} -u -o ${_sablet_gen}/Sablet_i.c ${_idl}
  DEPENDS ${_idl} ${_widl} ${CMAKE_SOURCE_DIR}/cmake/tlb-libid
  COMMENT "Building the control's type library"
  VERBATIM)
file(WRITE ${_sablet_gen}/SabletTlb.rc.in "1 TYPELIB \"${_sablet_gen}/Sablet.tlb\"\n")
configure_file(${_sablet_gen}/SabletTlb.rc.in ${_sablet_gen}/SabletTlb.rc COPYONLY)
add_custom_target(sablet_typelib DEPENDS ${_sablet_gen}/Sablet.tlb ${_sablet_gen}/Sablet_h.h
                  ${_sablet_gen}/Sablet_i.c)

add_library(sablet_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PropertyRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PersistedProperties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TakeFile.cpp)
target_include_directories(sablet_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(sablet_core PUBLIC engine_parts oleaut32)

# The interface identifiers, for the DLL and for test programs that talk to it.
add_library(sablet_ids STATIC ${_sablet_gen}/Sablet_i.c)
add_dependencies(sablet_ids sablet_typelib)
add_dependencies(sablet_core sablet_typelib)

add_library(Sablet SHARED
  ${CMAKE_CURRENT_LIST_DIR}/SabletDll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2View.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Props.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Persist.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Site.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Transport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Face.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Web.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Links.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet2Browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConnectionPoint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EncoderLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordingParamsDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SabletProp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Sablet.rc
  $<TARGET_OBJECTS:sablet_upload_res>
  ${BRINDLE_COM_DLL_DEF})
set_target_properties(Sablet PROPERTIES PREFIX "" OUTPUT_NAME Sablet)
target_include_directories(Sablet PRIVATE ${_sablet_gen})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/Sablet.rc PROPERTIES
  OBJECT_DEPENDS "${_sablet_gen}/Sablet.tlb;${_sablet_gen}/SabletTlb.rc")
target_link_libraries(Sablet PRIVATE sablet_core sablet_ids sablet_recorder sablet_picture
  sablet_web sablet_browser sablet_upload
  sablet_skin com_base framework engine_parts
  ole32 oleaut32 uuid comctl32 user32 gdi32 vfw32 comdlg32)
brindle_bench_register(Sablet)

# Installed beside the encoder library it looks for in its own folder.
install(TARGETS Sablet
  RUNTIME DESTINATION . COMPONENT brindle
  ARCHIVE DESTINATION lib COMPONENT devel)
