# The COM layer of every DLL of ours (filters, stand-ins, the control):
# module lock and module threads, class factory over a class table,
# registry scripts. No DirectShow in it.
add_library(com_base STATIC
  ${CMAKE_CURRENT_LIST_DIR}/base/Module.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/ClassFactory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/RegistryScript.cpp)
target_include_directories(com_base PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(com_base PUBLIC ole32 uuid advapi32 user32)
set(BRINDLE_COM_DLL_DEF ${CMAKE_CURRENT_LIST_DIR}/base/ComDll.def
    CACHE INTERNAL "exports of our in-process COM servers")

# Our own small DirectShow base layer (mingw-w64 has none): media type
# owner, filter, input/output pins with allocator negotiation, enumerators,
# a one-in/one-out transform filter, a source pin with a worker thread,
# class factory and self-registration. Shared by every filter of ours and
# by the Wine stand-ins.
add_library(dshow_base STATIC
  ${CMAKE_CURRENT_LIST_DIR}/base/MediaType.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/BaseFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/BasePin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/InputPin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/OutputPin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/SeekingPassThru.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/OutputQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/EnumPins.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/EnumMediaTypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/TransformFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/SourceStreamPin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base/Registration.cpp)
target_include_directories(dshow_base PUBLIC ${CMAKE_SOURCE_DIR})
# dshow.h pulls in strsafe.h, whose renaming of the C wide-string functions
# breaks <string> when it comes later.
target_compile_definitions(dshow_base PUBLIC STRSAFE_NO_DEPRECATE)
target_link_libraries(dshow_base PUBLIC com_base strmiids uuid ole32 oleaut32 advapi32)

# brindle_com_dll(<target> <sources...>): an in-process COM server DLL on
# the base layer, exporting DllGetClassObject, DllCanUnloadNow,
# DllRegisterServer and DllUnregisterServer (define them with
# FILTERBASE_COM_DLL in one source).
function(brindle_com_dll target)
  add_library(${target} SHARED ${ARGN} ${BRINDLE_COM_DLL_DEF})
  set_target_properties(${target} PROPERTIES PREFIX "")
  target_link_libraries(${target} PRIVATE dshow_base)
endfunction()
