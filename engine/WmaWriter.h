// WMA output through the Windows Media Format runtime, and the tag and
// file-information operations on existing WMA, MP3 and WAV files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "WmaRuntime.h"

// One header attribute: name, type ("string", "dword", "qword", "word",
// "binary" or "bool", any case) and value as text.
struct WmaAttribute {
    char name[128];
    char type[20];
    char value[256];
};

class CWmaWriter {
public:
    WmaAttribute attributes[7];
    IWMWriter* writer = nullptr;
    IWMWriterFileSink* fileSink = nullptr;
    IWMWriterFileSink2* fileSink2 = nullptr;
    IWMProfileManager* profileManager = nullptr;
    IWMProfileManager2* profileManager2 = nullptr;
    DWORD WmaBytesPerSecond = 0;
    QWORD WmaSampleTime = 0;
    DWORD WmaInputNumber = 0;

    CWmaWriter();
};

extern CWmaWriter WmaWriter;

// Tag record exchanged with the main window and the WMA tag dialog.
struct MediaTagRecord {
    char author[127];
    char title[127];
    char album[127];
    char composer[127];
    char description[127];  // for MP3 files: the year
    char genre[127];
    char copyright[127];
    BYTE genreNumber;
};

// The metadata editor's attribute table.
extern WmaAttribute FileTagAttributes[8];
// Six info lines shown for a file chosen in the track list.
extern char MediaInfoLines[6][512];
extern IWMMetadataEditor* MetadataEditor;

// Used as the "Description" of a recording without one of its own.
extern const char WmaPublisherAddress[];

// Start-up: creates the writer, its file sink (added through the advanced
// writer) and the profile manager (system profiles 8.0), and the metadata
// editor. S_OK, or the first failure; WMA is then unavailable.
HRESULT CreateWmaWriterObjects();
// Loads system profile `index` into the writer. Fails for a bad index.
HRESULT SelectWmaProfile(int index);
void ReleaseWmaWriter();
bool WmaAvailable();

HRESULT WmaBeginWriting(int channels, int rate, int bits, const char* fileName);
HRESULT SetWmaAttribute(const WmaAttribute& attribute);
void LoadWmaWriterTags(const MediaTagRecord& tags);
// Writes one chunk as a sample at WmaSampleTime and advances the time;
// *fileSize gets the sink's file size (low 32 bits).
HRESULT WmaWriteSample(const BYTE* data, DWORD len, DWORD* fileSize);
HRESULT WmaEndWriting();

struct WmaProfileName {
    std::string name;
    int index;
};
// Adds the system profiles whose names contain "Audio" to a combo box (item
// data = profile index); `names` (optional) receives them too.
HRESULT ListWmaProfiles(HWND comboBox, std::vector<WmaProfileName>* names = nullptr);

HRESULT ReadWmaAttribute(WmaAttribute& attribute);
HRESULT WriteWmaAttribute(const WmaAttribute& attribute);
HRESULT FindWmaAttributeIndex(IWMHeaderInfo3* header, const WCHAR* name, WORD* index);

HRESULT ReadWmaTags(const char* fileName, MediaTagRecord* tags);
HRESULT WriteWmaTags(const char* fileName, const MediaTagRecord& tags);
HRESULT ReadMediaFileInfo(const char* fileName);

// Wide text of an ANSI string (the ANSI code page, as every text of the
// program); empty on failure.
std::wstring WmaWide(const char* text);

// Lower-cased extension of a file name ("wav", "mp3", "wma"), "" when the
// name has none of three characters after its last dot.
void FileExtension3(const char* fileName, char ext[4]);
