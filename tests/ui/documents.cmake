# Language documents: built-in text, tag search, the language-file search
# in a scratch folder, and truncated or random documents.
brindle_test(documents_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/documents_test.cpp
  LIBS documents)
