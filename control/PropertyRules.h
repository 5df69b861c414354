// The put rules of the control's properties and the bounded copies of text
// into its fixed ANSI buffers: pure functions the object and the tests use.
#pragma once

#include <windows.h>

#include <cstddef>

namespace sablet {

// Buffer sizes of the string properties and of what the page gives.
constexpr size_t FileNameSize = 256;
constexpr size_t LocationSize = 512;
constexpr size_t EmbedTagSize = 128;
constexpr size_t PageUrlSize = 512;
constexpr size_t PageHostSize = 256;
// Characters a put keeps (the byte limit of the buffer applies as well).
constexpr size_t FileNameChars = 255;
constexpr size_t LocationChars = 500;
constexpr size_t EmbedTagChars = 127;

// The fifteen MP3 bitrates (kbit/s) in list order.
extern const short Mp3BitrateTable[15];

// SampleFrequency: a rate of the table is kept, anything else gives 16000.
long SampleFrequencyRule(long rate);
// Whether a recording can have the rate at all (a start refuses the rest).
bool RecordableRate(long rate);
// Channel: 1 or 2 is kept, anything else gives 2.
short ChannelRule(short channels);
// SampleBit takes only 8 or 16; MP3Bitrate only a rate of the table.
bool SampleBitAccepted(short bits);
bool Mp3BitrateAccepted(short kbps);

// Copies text (nullptr counts as "") converted to codePage into out: at
// most maxChars characters and at most capacity - 1 bytes, whole
// characters only (a double-byte character or a surrogate pair that does
// not fit is left out with everything after it). Always terminated.
void CopyWideToAnsi(char* out, size_t capacity, const wchar_t* text, size_t maxChars,
                    UINT codePage = CP_ACP);

// The host of a page address: the text after the first "//" up to the next
// "/" or the end, cut to capacity - 1 bytes without splitting a double-byte
// character of codePage. Returns false and leaves out as it was when the
// address has no "//".
bool PageHostFromUrl(const char* url, char* out, size_t capacity, UINT codePage = CP_ACP);

}  // namespace sablet
