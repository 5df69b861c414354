// The name and folder rules of the output dialog, apart from its window so
// they can be tested alone: how the stored LastName splits into the folder
// and name boxes, how a format radio rewrites the name, and how the two
// boxes join into the path that is stored.
#pragma once

#include <string>

// Longest folder text (its closing "\" included) and longest full path the
// dialog stores: the recording start builds its paths in buffers that
// hold no more.
constexpr size_t kOutputFolderMax = 243;
constexpr size_t kOutputPathMax = 255;
// The longest text either box takes.
constexpr size_t kOutputEditMax = 255;

// The default name of a recording.
extern const char kDefaultOutputName[];  // "Velorin.wav"

// Splits LastName at its last "\": the folder keeps that "\", the name is
// what follows. An empty LastName gives "C:\" and the default name; one
// without any "\" is all name, with an empty folder.
void SplitLastName(const std::string& lastName, std::string* folder, std::string* name);

// Which radio a name calls for: its last four characters, trailing white
// space ignored and in any case, ".wav" 0, ".mp3" 1, ".wma" 2; -1 for any
// other ending.
int FormatOfName(const std::string& name);

// The name after the radio of `ext` ("WAV", "MP3" or "WMA") is chosen: a
// trailing ".wav", ".mp3" or ".wma" (any case) is replaced by "." + ext,
// any other name gets "." + ext appended, a blank one becomes
// "Velorin." + ext. False, and *name unchanged, when the result would be
// longer than a box holds.
bool ApplyFormatToName(std::string* name, const char* ext);

enum class OutputPathCheck { Ok, FolderTooLong, PathTooLong };

// Joins the folder and name boxes as OK stores them: trailing white space
// leaves the folder, which then ends in "\" unless it is empty; an empty or
// blank name is the default name. *folderOut gets the folder so made, *path the
// folder and name, both even when a limit is passed.
OutputPathCheck JoinOutputPath(const std::string& folder, const std::string& name,
                               std::string* folderOut, std::string* path);
