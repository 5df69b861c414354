// The bytes around the file in the multipart upload: boundary, request
// headers, the UserID part, the file part's head and the trailer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct UploadParts {
    std::string boundary;
    std::string headers;   // added to the request
    std::string first;     // the UserID part
    std::string head;      // the file part up to the file's first byte
    std::string trailer;   // behind the file's last byte
};

// True when the file goes out as WAV ("wav" extension, or a name without
// "."), false for MP3 (every other extension).
bool UploadAsWav(const char* path);

// "%04d%02d%02d-%02d%02d%02d" of a local time.
std::string UploadStamp(const SYSTEMTIME& local);

// `ip` and `ref` come from the login reply and are already free of line
// ends and quotes. The boundary is `ip` and the date digits of
// `boundaryTime` without leading zeros; the file name is ref_fileId_stamp.
UploadParts BuildUploadParts(const char* ip, int32_t userId, const char* ref, int32_t fileId,
                             const SYSTEMTIME& stampTime, const SYSTEMTIME& boundaryTime,
                             bool asWav);
