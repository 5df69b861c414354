// The engine's side of WMA output, whose file the Windows Media runtime
// opens and writes itself: the claim that keeps a second recorder off the
// file, and what a refused sample tells about the disk.
#include <cstdio>
#include <cstring>

#include "engine/EngineInternal.h"
#include "framework/Handles.h"

namespace {

// No room worth a data packet is left: the disk is full, whatever code the
// runtime gave for it.
bool OutputVolumeFull() {
    ULARGE_INTEGER free;
    const char* folder = EngineInternal.outputFolder;
    return folder[0] && GetDiskFreeSpaceExA(folder, &free, nullptr, nullptr) &&
           free.QuadPart < 64 * 1024;
}

void KeepOutputFolder(const char* fileName) {
    char* folder = EngineInternal.outputFolder;
    const size_t room = sizeof EngineInternal.outputFolder;
    folder[0] = '\0';
    const char* slash = strrchr(fileName, '\\');
    const size_t length = slash ? static_cast<size_t>(slash - fileName) + 1 : 0;
    if (length == 0 || length >= room) return;
    memcpy(folder, fileName, length);
    folder[length] = '\0';
}

}  // namespace

bool ClaimOutputFile(const char* fileName) {
    EngineInternal.openError = 0;
    KeepOutputFolder(fileName);
    // The claim is named after the file itself, not after the name it was
    // given, so that every name that reaches it (a short name, another
    // case, another drive mapped to it) meets the same claim. Opening it
    // for its attributes only leaves it as it is and lets the runtime open
    // it however it does.
    UniqueHandle file(CreateFileA(fileName, FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD opened = GetLastError();
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !GetFileInformationByHandle(file.Get(), &info)) {
        EngineInternal.openError = file ? GetLastError() : opened;
        if (!EngineInternal.openError) EngineInternal.openError = ERROR_OPEN_FAILED;
        return false;
    }
    const bool created = opened != ERROR_ALREADY_EXISTS;
    file.Reset();
    // A semaphore taken in one step: of two recorders that start on one
    // file at the same moment exactly one gets it. A recorder that ends in
    // any way closes its handle and so gives the claim up.
    char name[80];
    snprintf(name, sizeof name, "Global\\Brindle.Recording.%08lX.%08lX%08lX",
             static_cast<unsigned long>(info.dwVolumeSerialNumber),
             static_cast<unsigned long>(info.nFileIndexHigh),
             static_cast<unsigned long>(info.nFileIndexLow));
    UniqueHandle claim(CreateSemaphoreA(nullptr, 1, 1, name));
    if (claim && WaitForSingleObject(claim.Get(), 0) == WAIT_OBJECT_0) {
        EngineInternal.outputClaim = claim.Release();
        return true;
    }
    EngineInternal.openError = claim ? ERROR_SHARING_VIOLATION : GetLastError();
    if (!EngineInternal.openError) EngineInternal.openError = ERROR_OPEN_FAILED;
    // Only a file this start made itself goes again; one that another
    // recorder writes is never touched.
    if (created) DeleteFileA(fileName);
    return false;
}

void ReleaseOutputClaim() {
    if (!EngineInternal.outputClaim) return;
    ReleaseSemaphore(EngineInternal.outputClaim, 1, nullptr);
    CloseHandle(EngineInternal.outputClaim);
    EngineInternal.outputClaim = nullptr;
}

void NoteWmaWriteFailure(HRESULT hr) {
    DWORD code = HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : 0;
    if (code != ERROR_DISK_FULL && code != ERROR_HANDLE_DISK_FULL && OutputVolumeFull())
        code = ERROR_DISK_FULL;
    NoteWriteFailure(code ? code : ERROR_WRITE_FAULT);
}
