# Benchmarks of the engine parts: plain programs, run by hand on the bench
# (see lame_vs_native.sh for the encoder against the native one).
foreach(b lame_dll_bench mp3_path_bench ring_stress_bench)
  add_executable(${b} ${b}.cpp)
  target_link_libraries(${b} PRIVATE engine_parts)
  target_include_directories(${b} PRIVATE ${CMAKE_SOURCE_DIR})
endforeach()
foreach(b lame_dll_bench mp3_path_bench)
  add_dependencies(${b} lame_enc)
  target_compile_definitions(${b} PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
endforeach()
