# Shell services: the browser launcher with a stand-in browser that records
# how it was started, and the folder checks (unit); the tray icon and the
# folder dialog on the display (e2e).
add_executable(url_recorder ${CMAKE_CURRENT_LIST_DIR}/url_recorder.cpp)
brindle_test(services_test LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/services_test.cpp
  LIBS ui_services)
add_dependencies(services_test url_recorder)

# The tray test's resources: the program icon under two numbers (one
# script, so the icon images are numbered once), tips and the tray menu.
get_filename_component(_skin_dir ${BRINDLE_SKIN_ICON_RC} DIRECTORY)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/services_e2e_test.rc
"#include <windows.h>
128 ICON \"${_skin_dir}/brindle.ico\"
130 ICON \"${_skin_dir}/brindle.ico\"
STRINGTABLE
BEGIN
  128 \"Brindle\"
  130 \"Brindle records what you hear: this tip is far longer than the notification area can hold, so the icon keeps its first hundred and twenty-seven characters and drops the rest of this sentence here.\"
  131 \"No icon of this number\"
END
140 MENU
BEGIN
  POPUP \"Tray\"
  BEGIN
    MENUITEM \"&Restore Brindle\", 32771
    MENUITEM \"Start with &Windows\", 32774
    MENUITEM SEPARATOR
    MENUITEM \"E&xit\", 32772
  END
END
")
brindle_test(services_e2e_test LABEL e2e SCREEN
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/services_e2e_test.cpp ${CMAKE_CURRENT_BINARY_DIR}/services_e2e_test.rc
  LIBS ui_services comctl32)
add_dependencies(services_e2e_test brindle_skin_files)
