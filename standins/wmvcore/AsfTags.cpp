#include "AsfTags.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

// Object identifiers, in file byte order.
const BYTE kHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const BYTE kFileProperties[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const BYTE kContentDescription[16] = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const BYTE kExtendedContent[16] = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                   0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};

const wchar_t* const kDescriptionNames[5] = {L"Title", L"Author", L"Copyright", L"Description",
                                             L"Rating"};

// The runtime's attribute types and the extended object's value types.
enum { kDword = 0, kString = 1, kBinary = 2, kBool = 3, kQword = 4, kWord = 5 };
int ToAsfType(int t) {
    switch (t) {
        case kString: return 0;
        case kBinary: return 1;
        case kBool: return 2;
        case kDword: return 3;
        case kQword: return 4;
        case kWord: return 5;
    }
    return 1;
}
int FromAsfType(int t) {
    static const int map[6] = {kString, kBinary, kBool, kDword, kQword, kWord};
    return t >= 0 && t < 6 ? map[t] : kBinary;
}

uint64_t Get64(const BYTE* p) {
    uint64_t v;
    memcpy(&v, p, 8);
    return v;
}
uint16_t Get16(const BYTE* p) { return (uint16_t)(p[0] | p[1] << 8); }
void Put16(std::vector<BYTE>& out, size_t v) {
    out.push_back((BYTE)v);
    out.push_back((BYTE)(v >> 8));
}
void Put64(BYTE* p, uint64_t v) { memcpy(p, &v, 8); }

bool ReadFile(const std::wstring& path, std::vector<BYTE>* data) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    BYTE buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) data->insert(data->end(), buf, buf + n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

struct Layout {
    size_t headerSize = 0;  // the header object's whole size
    std::vector<std::pair<size_t, size_t>> children;  // offset, size
};

bool ParseHeader(const std::vector<BYTE>& file, Layout* layout) {
    if (file.size() < 30 || memcmp(file.data(), kHeader, 16)) return false;
    uint64_t size = Get64(&file[16]);
    if (size < 30 || size > file.size()) return false;
    layout->headerSize = (size_t)size;
    size_t pos = 30;
    while (pos + 24 <= layout->headerSize) {
        uint64_t child = Get64(&file[pos + 16]);
        if (child < 24 || pos + child > layout->headerSize) return false;
        layout->children.push_back({pos, (size_t)child});
        pos += (size_t)child;
    }
    return true;
}

std::wstring WideFrom(const BYTE* p, size_t bytes) {
    std::wstring s(reinterpret_cast<const wchar_t*>(p), bytes / 2);
    while (!s.empty() && s.back() == 0) s.pop_back();
    return s;
}

}  // namespace

std::vector<BYTE> AsfString(const std::wstring& text) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(p, p + (text.size() + 1) * 2);
}

bool ReadAsfAttributes(const std::wstring& path, std::vector<AsfAttribute>* attrs) {
    attrs->clear();
    std::vector<BYTE> file;
    Layout layout;
    if (!ReadFile(path, &file) || !ParseHeader(file, &layout)) return false;
    for (auto [pos, size] : layout.children) {
        const BYTE* o = &file[pos];
        const BYTE* end = o + size;
        if (!memcmp(o, kContentDescription, 16) && size >= 34) {
            const BYTE* p = o + 34;
            for (int i = 0; i < 5; ++i) {
                size_t len = Get16(o + 24 + 2 * i);
                if (p + len > end) return false;
                if (len) attrs->push_back({kDescriptionNames[i], kString, AsfString(WideFrom(p, len))});
                p += len;
            }
        } else if (!memcmp(o, kExtendedContent, 16) && size >= 26) {
            size_t count = Get16(o + 24);
            const BYTE* p = o + 26;
            for (size_t i = 0; i < count; ++i) {
                if (p + 2 > end) return false;
                size_t nameLen = Get16(p);
                if (p + 2 + nameLen + 4 > end) return false;
                std::wstring name = WideFrom(p + 2, nameLen);
                p += 2 + nameLen;
                int type = Get16(p), valueLen = Get16(p + 2);
                p += 4;
                if (p + valueLen > end) return false;
                AsfAttribute a{name, FromAsfType(type), std::vector<BYTE>(p, p + valueLen)};
                if (a.type == kString) a.value = AsfString(WideFrom(p, valueLen));
                attrs->push_back(a);
                p += valueLen;
            }
        }
    }
    return true;
}

namespace {

// The header of `file` rebuilt with exactly these attributes; the data
// after it (from *dataAt) stays as it is. False for no ASF header.
bool TaggedHeader(const std::vector<BYTE>& file, const std::vector<AsfAttribute>& attrs,
                  std::vector<BYTE>* out, size_t* dataAt) {
    Layout layout;
    if (!ParseHeader(file, &layout)) return false;

    // Content description: five strings by name.
    std::vector<BYTE> cd(kContentDescription, kContentDescription + 16);
    cd.resize(24);
    std::vector<BYTE> strings;
    for (const wchar_t* name : kDescriptionNames) {
        std::vector<BYTE> v;
        for (const AsfAttribute& a : attrs)
            if (a.name == name && a.type == kString && a.value.size() > 2) v = a.value;
        if (v.size() > 0xFFFF) v.resize(0xFFFE), v.push_back(0), v.push_back(0);
        Put16(cd, v.size());
        strings.insert(strings.end(), v.begin(), v.end());
    }
    cd.insert(cd.end(), strings.begin(), strings.end());
    Put64(&cd[16], cd.size());

    std::vector<BYTE> ec(kExtendedContent, kExtendedContent + 16);
    ec.resize(24);
    size_t count = 0;
    std::vector<BYTE> entries;
    for (const AsfAttribute& a : attrs) {
        bool described = false;
        for (const wchar_t* name : kDescriptionNames) described |= a.name == name;
        if (described || a.value.size() > 0xFFFF) continue;
        std::vector<BYTE> name = AsfString(a.name);
        Put16(entries, name.size());
        entries.insert(entries.end(), name.begin(), name.end());
        Put16(entries, ToAsfType(a.type));
        Put16(entries, a.value.size());
        entries.insert(entries.end(), a.value.begin(), a.value.end());
        ++count;
    }
    Put16(ec, count);
    ec.insert(ec.end(), entries.begin(), entries.end());
    Put64(&ec[16], ec.size());

    std::vector<BYTE> header(file.begin(), file.begin() + 30);
    uint32_t children = 0;
    size_t filePropsAt = 0;
    for (auto [pos, size] : layout.children) {
        const BYTE* o = &file[pos];
        if (!memcmp(o, kContentDescription, 16) || !memcmp(o, kExtendedContent, 16)) continue;
        if (!memcmp(o, kFileProperties, 16) && size >= 48) filePropsAt = header.size();
        header.insert(header.end(), o, o + size);
        ++children;
    }
    header.insert(header.end(), cd.begin(), cd.end());
    header.insert(header.end(), ec.begin(), ec.end());
    children += 2;
    Put64(&header[16], header.size());
    memcpy(&header[24], &children, 4);
    uint64_t total = header.size() + (file.size() - layout.headerSize);
    if (filePropsAt) Put64(&header[filePropsAt + 40], total);
    *out = std::move(header);
    *dataAt = layout.headerSize;
    return true;
}

}  // namespace

bool WriteAsfAttributes(const std::wstring& path, const std::vector<AsfAttribute>& attrs) {
    std::vector<BYTE> file, header;
    size_t dataAt = 0;
    if (!ReadFile(path, &file) || !TaggedHeader(file, attrs, &header, &dataAt)) return false;
    std::wstring temp = path + L".tags";
    FILE* f = _wfopen(temp.c_str(), L"wb");
    if (!f) return false;
    bool ok = fwrite(header.data(), 1, header.size(), f) == header.size() &&
              fwrite(file.data() + dataAt, 1, file.size() - dataAt, f) == file.size() - dataAt;
    ok = fclose(f) == 0 && ok;
    if (!ok || !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

bool WriteAsfAttributes(HANDLE file, const std::vector<AsfAttribute>& attrs) {
    LARGE_INTEGER size, start{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF ||
        !SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart)), header;
    DWORD done = 0;
    if (!bytes.empty() && (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
                           done != bytes.size()))
        return false;
    size_t dataAt = 0;
    if (!TaggedHeader(bytes, attrs, &header, &dataAt)) return false;
    bytes.erase(bytes.begin(), bytes.begin() + dataAt);
    bytes.insert(bytes.begin(), header.begin(), header.end());
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) &&
           ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
           done == bytes.size() && SetEndOfFile(file);
}
