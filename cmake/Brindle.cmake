# Helpers shared by every folder's CMakeLists.

# COM DLLs that the test bench registers into its private Wine prefix with
# regsvr32 (our grabber filters, the Wine stand-ins).
set_property(GLOBAL PROPERTY BRINDLE_BENCH_REGISTER "")
# DLLs the bench installs into the prefix as native overrides (stand-ins of
# Windows components Wine lacks); each entry is "target;dllname".
set_property(GLOBAL PROPERTY BRINDLE_BENCH_OVERRIDES "")

function(brindle_bench_register target)
  set_property(GLOBAL APPEND PROPERTY BRINDLE_BENCH_REGISTER "$<TARGET_FILE:${target}>")
endfunction()

function(brindle_bench_override target dllname)
  set_property(GLOBAL APPEND PROPERTY BRINDLE_BENCH_OVERRIDES "$<TARGET_FILE:${target}>=${dllname}")
endfunction()

function(brindle_write_bench_manifest)
  get_property(reg GLOBAL PROPERTY BRINDLE_BENCH_REGISTER)
  get_property(ovr GLOBAL PROPERTY BRINDLE_BENCH_OVERRIDES)
  string(REPLACE ";" "\n" reg "${reg}")
  string(REPLACE ";" "\n" ovr "${ovr}")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/bench-register.txt CONTENT "${reg}\n")
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/bench-overrides.txt CONTENT "${ovr}\n")
endfunction()

# Under QEMU's user-mode emulator (tools/enable-i386 registers it where the
# kernel starts no 32-bit programs) every Wine process runs several times
# slower, and recording cases need much more of the machine each to keep up
# with the sound. Where 32-bit programs start natively they share it.
if(NOT DEFINED BENCH_EMULATED)
  set(BENCH_EMULATED OFF)
  foreach(entry brindle-i386 qemu-i386)
    if(EXISTS /proc/sys/fs/binfmt_misc/${entry})
      file(READ /proc/sys/fs/binfmt_misc/${entry} binfmt)
      if(binfmt MATCHES "^enabled")
        set(BENCH_EMULATED ON)
      endif()
    endif()
  endforeach()
endif()
set(BENCH_EMULATED ${BENCH_EMULATED} CACHE BOOL "32-bit programs run under an emulator on this bench")

# brindle_test(<name> SOURCES ... [LIBS ...] [LABEL unit|e2e] [SOUND] [SCREEN]
#              [SERIAL] [ALONE] [TIMEOUT s] [LOCK resource ...] [BUILTIN dll ...])
# One GoogleTest program, each of its cases a CTest test run through Wine.
# SOUND gives every case its own pair of PulseAudio null sinks (see
# cmake/wine-run): BENCH_REC_SINK is recorded by the default capture device,
# the program's own playback goes to the other. SOUND, SCREEN and SERIAL
# cases each hold a lane of the bench (tools/testbench): a display, sound
# daemon and Wine prefix of their own, with no other test in them. SERIAL
# names the cases that need that even without SOUND or SCREEN: a case that
# listens to every sound device of its sound server must not hear other
# tests' tones, and a case that hands a capture device's index to a program
# it starts must not have other tests' sinks come and go between its count
# and the program's (Wine numbers the devices anew in each process).
# ALONE cases have the whole machine to themselves where 32-bit programs are
# emulated: they hold a take's length against the time between two clicks, or
# what a sink heard against a file played, and beside other Wine programs on
# an emulated machine the capture or the playback starts too late for that.
function(brindle_test name)
  cmake_parse_arguments(T "SOUND;SCREEN;SERIAL;ALONE" "LABEL;TIMEOUT" "SOURCES;LIBS;LOCK;BUILTIN" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} benchsupport GTest::gmock GTest::gtest_main)
  # One variable only: a list would be split on its way to set_tests_properties.
  set(env "BENCH=timeout:${T_TIMEOUT}")
  if(T_SOUND)
    string(APPEND env ",sound")
  endif()
  foreach(dll ${T_BUILTIN})
    string(APPEND env ",builtin:${dll}")
  endforeach()
  math(EXPR ctest_timeout "${T_TIMEOUT} + 30")
  # Until a run has measured them, the cases with the longest time allowed
  # start first, so that no long recording is left to run on its own at the
  # end of a parallel run.
  set(props LABELS ${T_LABEL} ENVIRONMENT "${env}" TIMEOUT ${ctest_timeout} COST ${T_TIMEOUT})
  # Recording runs in real time: a case starved of CPU loses sound from the
  # device (Wine's capture drops what it cannot hand on). Emulated, each one
  # claims half of an eight-slot run (with two slots each, four cases
  # recording at once started their captures late enough to lose the first
  # few tenths of a second), and ALONE cases the whole machine; natively a
  # quarter, and half for the ALONE ones.
  if(BENCH_EMULATED)
    if(T_ALONE)
      list(APPEND props RUN_SERIAL TRUE)
    elseif(T_SOUND)
      list(APPEND props PROCESSORS 4)
    endif()
  elseif(T_ALONE)
    list(APPEND props PROCESSORS 4)
  elseif(T_SOUND)
    list(APPEND props PROCESSORS 2)
  endif()
  if(T_SOUND OR T_SCREEN OR T_SERIAL OR T_ALONE)
    list(APPEND props RESOURCE_GROUPS lanes:1)
  endif()
  if(T_LOCK)
    list(APPEND props RESOURCE_LOCK "${T_LOCK}")
  endif()
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_MODE PRE_TEST
                       DISCOVERY_TIMEOUT 60 PROPERTIES ${props})
endfunction()
