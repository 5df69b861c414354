# A stand-in for the system's MP3 player device (the "MPEGVideo" MCI type):
# Wine's refuses a player window for a file without video. Registered only
# into the test prefix (it takes over that device type there); never
# shipped.
add_library(mciplayer_standin SHARED mciplayer/MciPlayer.cpp mciplayer/mciplayer.def)
set_target_properties(mciplayer_standin PROPERTIES OUTPUT_NAME mciplayer PREFIX "")
target_include_directories(mciplayer_standin PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(mciplayer_standin PRIVATE winmm advapi32)
brindle_bench_register(mciplayer_standin)
