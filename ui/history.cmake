# History log: one line per recording in a day file of its year folder,
# read back by day, and the year/month/day tree of the history panel.
add_library(history STATIC
  ${CMAKE_CURRENT_LIST_DIR}/HistoryLog.cpp)
target_include_directories(history PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(history PUBLIC documents user32)
