# Benches that run brindle.exe itself, recording (run by hand on the bench):
#   BENCH=timeout:900,sound cmake/wine-run mp3_recording_bench.exe [seconds]
#     a long MP3 recording: the file's length against the time recorded,
#     and the program's CPU load;
#   BENCH=timeout:900,sound cmake/wine-run recording_cpu.exe [seconds] [wav|mp3]
#     the program's CPU load while it records, split by thread.
add_library(brindle_run STATIC brindle_run.cpp)
target_link_libraries(brindle_run PUBLIC benchsupport engine)
foreach(b mp3_recording_bench recording_cpu)
  add_executable(${b} ${b}.cpp)
  target_link_libraries(${b} PRIVATE brindle_run)
  add_dependencies(${b} brindle lame_enc)
endforeach()
