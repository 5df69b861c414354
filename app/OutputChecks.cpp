// What the main window does about output files that cannot take a
// recording: names that are devices or lie in missing folders, files that
// another recording holds, and a disk that fills up while recording. None
// of them may look like a recording that runs, and a name that could not
// be opened never becomes the stored LastName.
#include "app/VelorinDlg.h"

#include <cstring>

#include "app/CommandLine.h"
#include "app/resource.h"
#include "engine/EngineState.h"
#include "framework/DeviceNames.h"
#include "framework/SafeString.h"
#include "ui/SettingsStore.h"
#include "ui/XmlDocument.h"

namespace {

// The folder part of a path ("c:\rec\" of "c:\rec\a.wav"); false when the
// path names no folder.
bool FolderOf(const char* path, char (&folder)[1000]) {
    const char* slash = strrchr(path, '\\');
    if (!slash) return false;
    size_t length = static_cast<size_t>(slash - path) + 1;
    if (length >= sizeof folder) return false;
    memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}

// Longer than the system takes: a folder or file name of more than 255
// characters, or a folder too long for the calls that look it up (with
// its NUL, a path of MAX_PATH characters at most).
bool NameTooLong(const char* path) {
    size_t component = 0;
    const char* lastSlash = nullptr;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/') {
            component = 0;
            lastSlash = p;
        } else if (++component > 255) {
            return true;
        }
    }
    return lastSlash && static_cast<size_t>(lastSlash - path) + 1 >= MAX_PATH;
}

bool FolderExists(const char* folder) {
    const DWORD attributes = GetFileAttributesA(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CVelorinDlg::ShowOutputMessage(const char* key) {
    char line1[200] = "", line2[200] = "", line3[200] = "";
    LanguageDocument.GetMessageLines(key, line1, line2, line3, sizeof line1);
    // A language file older than the message: its English lines, rather
    // than an empty status that says nothing.
    if (!line1[0] && !line2[0]) {
        XmlDocument english;
        english.GetMessageLines(key, line1, line2, line3, sizeof line1);
    }
    ShowStatusText(nullptr, line1, line2);
}

bool CVelorinDlg::CheckOutputName(const char* path) {
    const char* key = nullptr;
    char folder[1000];
    if (IsDeviceFileName(path)) key = "DeviceName";
    // Before the folder test: the system does not find a folder whose name
    // it cannot take, and "does not exist" would send the user looking.
    else if (NameTooLong(path)) key = "NameTooLong";
    else if (FolderOf(path, folder) && !FolderExists(folder))
        key = GetLastError() == ERROR_FILENAME_EXCED_RANGE ? "NameTooLong" : "FolderMissing";
    if (!key) return true;
    SafeCopy(RefusedName, path);
    ShowOutputMessage(key);
    return false;
}

bool CVelorinDlg::RefuseDeviceFile(const char* path) {
    if (!IsDeviceFileName(path)) return false;
    ShowOutputMessage("DeviceName");
    return true;
}

void CVelorinDlg::DropStoredDeviceName(const char* value, char* text, size_t size,
                                       const char* replacement) {
    if (!IsDeviceFileName(text)) return;
    SafeCopy(text, size, replacement);
    // Every later reader of the value (the dialogs, the naming switches)
    // gets the usable name too.
    SettingsStore store;
    store.WriteString(value, replacement);
    StoredDeviceNameDropped = true;
}

void CVelorinDlg::ShowOpenFailure(const char* path) {
    SafeCopy(RefusedName, path);
    switch (OutputOpenError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        ShowOutputMessage("FileInUse");
        break;
    case ERROR_PATH_NOT_FOUND:
        ShowOutputMessage("FolderMissing");
        break;
    case ERROR_FILENAME_EXCED_RANGE:
        ShowOutputMessage("NameTooLong");
        break;
    default:
        ShowOutputMessage("FileError");
        break;
    }
}

void CVelorinDlg::NoteOutputOpened(const char* path) {
    if (strcmp(RefusedName, path) == 0) RefusedName[0] = '\0';
}

void CVelorinDlg::StoreLastName(SettingsStore& store, const char* name) {
    if (RefusedName[0] && strcmp(RefusedName, name) == 0) return;
    store.WriteLastName(name);
}

void CVelorinDlg::ShowCommandLineRefusal() {
    switch (CommandLineOptions.FileNameProblem) {
    case FileNameNotWavOrMp3: ShowOutputMessage("FileType"); break;
    case FileNameIsDevice: ShowOutputMessage("DeviceName"); break;
    case FileNameTooLong: ShowOutputMessage("NameTooLong"); break;
    default: ShowOutputMessage("FileError"); break;
    }
}

void CVelorinDlg::StopOnFailedWrite() {
    const bool full = OutputWriteError() == ERROR_DISK_FULL ||
                      OutputWriteError() == ERROR_HANDLE_DISK_FULL;
    char path[1000] = "";
    GetDlgItemText(IDC_FILENAME, path, sizeof path);
    // As Stop does it: the file is finished with what reached the disk and
    // logged; the schedule and signal modes end with it.
    StopRecording();
    ShowOutputMessage(full ? "DiskFull" : "WriteError");
    char text[1200];
    SafeFormat(text,
               full ? "The disk is full. The recording was stopped; what was recorded until then "
                      "is kept in\n\n%s"
                    : "The output file cannot be written any more. The recording was stopped; what "
                      "was recorded until then is kept in\n\n%s",
               path);
    MessageBox(text, full ? "Disk full" : "Recording stopped", MB_OK | MB_ICONWARNING);
}
