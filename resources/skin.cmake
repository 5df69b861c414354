# The skin: every face, button, slider and dashboard bitmap, the program
# icon and the line-test clips are drawn by tools/skin/generate.py at build
# time into the build tree, with two resource scripts that embed them.
#
# Consumers add an object library (resources must be linked as objects, a
# static library would drop them):
#   target_link_libraries(<exe> PRIVATE brindle_skin)       # "BMP" + "SOUND"
#   target_link_libraries(<exe> PRIVATE brindle_skin_icon)  # icon 128
# or add ${BRINDLE_SKIN_RC} / ${BRINDLE_SKIN_ICON_RC} as sources.

# Debian's interpreter carries Pillow (python3-pil); a python3 earlier on
# PATH (pyenv and the like) usually does not.
find_program(BRINDLE_SKIN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT BRINDLE_SKIN_PYTHON)
  find_program(BRINDLE_SKIN_PYTHON python3 REQUIRED)
endif()

set(BRINDLE_SKIN_DIR ${CMAKE_BINARY_DIR}/skin)
set(BRINDLE_SKIN_RC ${BRINDLE_SKIN_DIR}/skin.rc CACHE INTERNAL "skin resource script")
set(BRINDLE_SKIN_ICON_RC ${BRINDLE_SKIN_DIR}/skin-icon.rc CACHE INTERNAL "icon resource script")
set(BRINDLE_SABLET_SKIN_RC ${BRINDLE_SKIN_DIR}/sablet-skin.rc
    CACHE INTERNAL "the web recorder control's skin resource script")
file(GLOB _skin_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/skin/*.py)

add_custom_command(
  OUTPUT ${BRINDLE_SKIN_RC} ${BRINDLE_SKIN_ICON_RC} ${BRINDLE_SKIN_DIR}/brindle.ico
         ${BRINDLE_SABLET_SKIN_RC}
  COMMAND ${BRINDLE_SKIN_PYTHON} ${CMAKE_SOURCE_DIR}/tools/skin/generate.py ${BRINDLE_SKIN_DIR}
  DEPENDS ${_skin_sources}
  COMMENT "Drawing the skin bitmaps, icon and line-test clips"
  VERBATIM)
add_custom_target(brindle_skin_files DEPENDS ${BRINDLE_SKIN_RC} ${BRINDLE_SKIN_ICON_RC}
                  ${BRINDLE_SABLET_SKIN_RC})

add_library(brindle_skin OBJECT ${BRINDLE_SKIN_RC})
add_dependencies(brindle_skin brindle_skin_files)
add_library(brindle_skin_icon OBJECT ${BRINDLE_SKIN_ICON_RC})
add_dependencies(brindle_skin_icon brindle_skin_files)

# The web recorder control's faces (type BITMAP) and its animated GIF.
add_library(sablet_skin OBJECT ${BRINDLE_SABLET_SKIN_RC})
add_dependencies(sablet_skin brindle_skin_files)
