// Skin pictures from the program's resources, and the off-screen context
// every paint routine composes its face in before one copy to the screen.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

// Finds a resource by name and type in `module` (the program's own module
// when null). With a null buffer it only reports the size in *size; with a
// buffer it copies the bytes when *size is large enough. False when the
// resource is missing or the buffer too small.
bool LoadResourceBytes(const char* name, const char* type, void* buffer, DWORD* size,
                       HMODULE module = nullptr);

// One skin bitmap, decoded by the system's picture loader. Holds one
// reference on the picture, so it is neither copied nor assigned.
class CPicture {
public:
    CPicture() = default;
    virtual ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // Releases any loaded picture, then loads the named resource.
    bool Load(const char* name, const char* type = "BMP", HMODULE module = nullptr);
    bool LoadFromMemory(const void* bytes, DWORD count);
    void Unload();

    // Renders the whole picture stretched into (x, y, width, height).
    bool Draw(HDC dc, int x, int y, int width, int height) const;
    // Size in pixels of the device's resolution (HIMETRIC converted).
    SIZE NaturalSize(HDC dc) const;

    bool IsLoaded() const { return picture_ != nullptr; }
    IPicture* Get() const { return picture_; }

private:
    IPicture* picture_ = nullptr;
};

// Off-screen drawing context for one paint call: drawing goes to a memory
// bitmap covering `area` (logical units of the target, the target's clip
// box when null) with the target's coordinates, and the destructor copies
// the area back unless noCopy is set. A printing target, an empty area or a
// failed allocation make it draw on the target directly.
class CXTMemDC {
public:
    CXTMemDC(HDC target, const RECT* area = nullptr);
    ~CXTMemDC();
    CXTMemDC(const CXTMemDC&) = delete;
    CXTMemDC& operator=(const CXTMemDC&) = delete;

    HDC GetSafeHdc() const { return dc_; }
    operator HDC() const { return dc_; }
    const RECT& Area() const { return area_; }
    bool IsMemDC() const { return isMemDC_; }

    bool noCopy = false;

private:
    HDC target_;
    HDC dc_ = nullptr;       // the memory context, or the target when drawing directly
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    RECT area_{};
    bool isMemDC_ = false;
};
