// Header attributes of ASF files: read from and written into the content
// description object (Title, Author, Copyright, Description, Rating) and the
// extended content description object (every other name).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct AsfAttribute {
    std::wstring name;
    int type;                 // the runtime's attribute type numbers (WMT_TYPE_*)
    std::vector<BYTE> value;  // strings: UTF-16 with the terminating zero
};

bool ReadAsfAttributes(const std::wstring& path, std::vector<AsfAttribute>* attrs);
// Rewrites the file's header with exactly these attributes; the data that
// follows the header is kept byte for byte.
bool WriteAsfAttributes(const std::wstring& path, const std::vector<AsfAttribute>& attrs);
// The same in place, through a handle open for reading and writing: the
// writer's own file, which nobody else may take before it is finished.
bool WriteAsfAttributes(HANDLE file, const std::vector<AsfAttribute>& attrs);

std::vector<BYTE> AsfString(const std::wstring& text);
