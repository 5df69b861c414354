// The MP3 encoder library as the control finds it.
#pragma once

// Loads the library once per process (beside the control's own DLL, then
// "lame_enc.dll", "c:\lame_enc.dll", "Quorlix.dll", with all six entry
// points) and answers from then on whether MP3 is available. The current
// directory is left out of the search: inside a browser it is wherever
// downloads land.
bool EncoderLibraryLoad();
