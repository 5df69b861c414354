#include "sharing/Multipart.h"

#include <cstdio>

#include "sharing/ReplyText.h"

bool UploadAsWav(const char* path) {
    bool hasDot = false;
    std::string ext = sharing::PathExtension(path, &hasDot);
    return !hasDot || ext == "wav";
}

std::string UploadStamp(const SYSTEMTIME& t) {
    char s[64];
    snprintf(s, sizeof s, "%04d%02d%02d-%02d%02d%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    return s;
}

UploadParts BuildUploadParts(const char* ip, int32_t userId, const char* ref, int32_t fileId,
                             const SYSTEMTIME& stampTime, const SYSTEMTIME& b, bool asWav) {
    UploadParts parts;
    char digits[64];
    snprintf(digits, sizeof digits, "%d%d%d%d%d%d", b.wYear, b.wMonth, b.wDay, b.wHour, b.wMinute,
             b.wSecond);
    parts.boundary = std::string(ip ? ip : "") + digits;
    const std::string& bd = parts.boundary;
    parts.headers = "Accept: */*\r\nContent-Type: multipart/form-data; boundary=" + bd +
                    "\r\nUser-Agent: Sablet\r\n";
    parts.first = "\r\n--" + bd + "\r\nContent-Disposition: form-data; name=\"UserID\"\r\n\r\n" +
                  std::to_string(userId) + "\r\n";
    std::string name = std::string(ref ? ref : "") + "_" + std::to_string(fileId) + "_" +
                       UploadStamp(stampTime);
    if (asWav)
        parts.head = "\r\n--" + bd +
                     "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"" + name +
                     ".wav\"\r\nContent-Type: audio/wav\r\nContent-Transfer-Encoding: binary\r\n\r\n";
    else
        parts.head = "\r\n--" + bd +
                     "\r\nContent-Disposition: form-data; name=\"userfile\"; filename=\"" + name +
                     ".mp3\"\r\nContent-Type: audio/mpeg\r\nContent-Transfer-Encoding: binary\r\n\r\n";
    parts.trailer = "\r\n\r\n--" + bd + "--\r\n";
    return parts;
}
