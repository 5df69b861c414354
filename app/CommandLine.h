// The program's command line: switches that start a recording, a
// signal-activated recording or the schedule, hide the window, and set the
// output file and format. Parsed once by the application object before the
// main window exists; applied once at the end of the main window's start-up.
#pragma once

#include <cstdint>

// Values of StartMode.
enum : int32_t { StartRecordNow = 0, StartSignalRecord = 1, StartSchedule = 2,
                 StartSignalAndSchedule = 3 };

// Why a "-filename " value cannot be used (FileNameProblem).
enum : int32_t { FileNameUsable = 0, FileNameUnusable = 1, FileNameNotWavOrMp3 = 2,
                 FileNameIsDevice = 3, FileNameTooLong = 4 };

struct CommandLineOptionSet {
    uint8_t RecordSwitchGiven = 0;  // a record switch was found: the value switches count
    char FileName[507] = {};        // "-filename ": ".wav" or ".mp3", lower case
    // "-filename " was given with a name that cannot be used: the line's
    // starts are refused rather than recording into some other file.
    uint8_t FileNameRefused = 0;
    int32_t FileNameProblem = FileNameUsable;  // why it was refused
    int32_t StartMode = 0;
    // -1: not applied (switch absent or empty); 0: the table's default
    // (given but not a table value); 1..15: Mp3BitrateTable index.
    int32_t Mp3BitrateIndex = -1;
    int32_t BitsIndex = -1;         // 1 16-bit, 0 8-bit, -1 not given
    int32_t SampleRateIndex = -1;   // 0..8 into SampleRateTable, -1 not given
    int32_t ChannelsIndex = -1;     // 1 stereo, 0 mono, -1 not given
    uint8_t HideAtStart = 0;
};

// Written by CVelorinApp::InitInstance, read by the main window's start-up.
extern CommandLineOptionSet CommandLineOptions;

// The accepted "-mp3bitrate " values: index 1..15 (entry 0 is the default
// 128 and is never matched).
extern const int Mp3BitrateTable[16];
// The accepted "-frequency " values in kHz, index 0..8.
extern const int CommandLineRates[9];

// Reads `text` (the command line after the program path; null or empty
// means none) into `out`, which starts from its current values the way
// the process-wide options start from zero.
void ParseCommandLine(const char* text, CommandLineOptionSet* out);
