// Names Windows keeps for its devices. "c:\rec\nul.wav" is no file: it is
// the NUL device, which takes every byte and keeps none, and "com1.mp3" is
// a serial port. A recording must never be pointed at one.
#pragma once

// True when the last component of `path` (after its last "\" or "/", and a
// drive's ":") is a device name: con, prn, aux, nul, com1 to com9 or lpt1
// to lpt9, in any case, alone or followed by an extension, blanks or a
// ":" (the system drops those when it looks the name up).
bool IsDeviceFileName(const char* path);
