# The status rows' text rules alone.
brindle_test(status_rows_test LABEL unit TIMEOUT 60
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/status_rows_test.cpp
  LIBS brindle_status_rows)
