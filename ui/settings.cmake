# The settings store: the program's named values in the current user's
# registry, with the table of their defaults and valid ranges.
add_library(settings STATIC
  ${CMAKE_CURRENT_LIST_DIR}/SettingsStore.cpp)
target_include_directories(settings PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(settings PUBLIC framework advapi32)
