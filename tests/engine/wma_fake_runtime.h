// An in-memory Windows Media runtime for the writer's unit tests: it records
// what the program asks of it. Used where the real runtime cannot run (Wine
// has none that writes).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/WmaRuntime.h"
#include "standins/wmvcore/AsfTags.h"

namespace fakewm {


struct Sample {
    QWORD time;
    DWORD length;
};

// Everything the fakes saw, and what they answer with.
struct Log {
    std::vector<WAVEFORMATEX> inputFormats;  // offered by GetInputFormat
    std::vector<std::wstring> profileNames;  // the system profiles
    std::wstring openedFile;
    int setInputPropsIndex = -1;  // which offered format was chosen
    int beginWriting = 0, endWriting = 0, addSink = 0;
    std::vector<AsfAttribute> attributes;  // SetAttribute calls on the writer
    std::vector<Sample> samples;
    QWORD fileSize = 0;
    std::map<std::wstring, std::vector<AsfAttribute>> files;  // the editor's files
    std::vector<std::string> editorCalls;            // "modify N", "add NAME", "flush"
    DWORD systemProfileVersion = 0;
};

Log& TheLog();
void Reset();
WmaRuntime Runtime();

}  // namespace fakewm
