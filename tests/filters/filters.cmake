# Filters for tests (a ramp source and a collecting renderer) on the base
# layer, shared by the filter and stand-in tests.
add_library(filters_testsupport STATIC ${CMAKE_CURRENT_LIST_DIR}/TestFilters.cpp)
target_include_directories(filters_testsupport PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(filters_testsupport PUBLIC dshow_base)

brindle_test(dshow_base_test LABEL unit SOURCES base_test.cpp LIBS filters_testsupport)

brindle_test(wavtrans_test LABEL e2e SOURCES wavtrans_test.cpp
  LIBS filters_testsupport wavtrans_core strmiids)
add_dependencies(wavtrans_test wavtrans)

brindle_test(com_registration_test LABEL unit SOURCES registration_test.cpp LIBS advapi32)
add_dependencies(com_registration_test wavtrans graphfilters_standin)
target_compile_definitions(com_registration_test PRIVATE
  WAVTRANS_DLL="$<TARGET_FILE:wavtrans>" GRAPHFILTERS_DLL="$<TARGET_FILE:graphfilters_standin>")

brindle_test(com_base_test LABEL unit SOURCES com_base_test.cpp LIBS com_base)
