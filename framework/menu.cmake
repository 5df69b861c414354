# Menus (CMenu) belong to the window layer: same library.
target_sources(framework PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Menu.cpp)
