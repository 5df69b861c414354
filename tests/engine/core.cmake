# The engine core: unit tests without a device, and recordings through the
# real capture graph (stand-in device and grabber filters on the bench).
brindle_test(engine_core_test LABEL unit SOURCES engine_core_test.cpp LIBS engine)
