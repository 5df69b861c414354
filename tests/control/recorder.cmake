# The control's recorder with fake encoder entries on the bench's capture
# device, the panel's readouts, and the picture window's GIF walker on
# crafted inputs and on the control's own skin.
brindle_test(ctl_recorder_unit_test LABEL unit SOUND TIMEOUT 180
  SOURCES ctl_recorder_unit_test.cpp LIBS sablet_recorder sablet_picture sablet_skin)
