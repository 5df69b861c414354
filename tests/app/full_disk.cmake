# Recording onto a small volume that fills up (a tmpfs the case mounts).
brindle_test(full_disk_e2e_test LABEL e2e SOUND SCREEN TIMEOUT 300
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/full_disk_e2e_test.cpp
  LIBS brindle_window brindle_res brindle_skin brindle_skin_icon)
add_dependencies(full_disk_e2e_test lame_enc audiocapture_standin wmvcore_standin)
target_compile_definitions(full_disk_e2e_test PRIVATE LAME_DLL_PATH="${BRINDLE_LAME_DLL}")
