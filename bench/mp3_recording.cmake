# A long MP3 recording by brindle.exe: the file's length against the time
# recorded, and the program's CPU load (run by hand on the bench:
# BENCH=timeout:900,sound cmake/wine-run mp3_recording_bench.exe [seconds]).
add_executable(mp3_recording_bench mp3_recording_bench.cpp)
target_link_libraries(mp3_recording_bench PRIVATE benchsupport engine)
add_dependencies(mp3_recording_bench brindle lame_enc)
