# The two "WAV Trans" grabber filters (capture and background) as one
# self-registering COM DLL, and their block-filling logic as a library the
# tests use directly.
add_library(wavtrans_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BlockQueue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavTransFilter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptureGrabber.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BackgroundGrabber.cpp)
target_link_libraries(wavtrans_core PUBLIC dshow_base winmm)

brindle_com_dll(wavtrans ${CMAKE_CURRENT_LIST_DIR}/WavTransDll.cpp)
target_link_libraries(wavtrans PRIVATE wavtrans_core)
brindle_bench_register(wavtrans)
