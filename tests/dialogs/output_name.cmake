# The output dialog's name and folder rules alone.
brindle_test(output_name_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/output_name_test.cpp
  LIBS dialogs_output_name)
