# History log on real files in a scratch folder, the tree in a real
# (hidden) tree view.
brindle_test(history_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/history_test.cpp
  LIBS history comctl32)
