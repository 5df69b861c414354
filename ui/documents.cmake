# Language documents: tag-text look-ups in a document held whole in memory,
# the built-in English and hot-key documents, the control-name table and
# the language-file search.
add_library(documents STATIC
  ${CMAKE_CURRENT_LIST_DIR}/XmlDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlNames.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BuiltInDocuments.cpp)
target_include_directories(documents PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(documents PUBLIC framework)
