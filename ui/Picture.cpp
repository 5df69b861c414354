#include "ui/Picture.h"

#include <vector>

bool LoadResourceBytes(const char* name, const char* type, void* buffer, DWORD* size,
                       HMODULE module) {
    if (!name || !type || !size) return false;
    if (!module) module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, name, type);
    if (!res) return false;
    HGLOBAL handle = LoadResource(module, res);
    const void* bytes = handle ? LockResource(handle) : nullptr;
    DWORD length = SizeofResource(module, res);
    if (!bytes) return false;
    if (!buffer) {
        *size = length;
        return true;
    }
    if (*size < length) return false;
    memcpy(buffer, bytes, length);
    *size = length;
    return true;
}

CPicture::~CPicture() { Unload(); }

void CPicture::Unload() {
    if (picture_) {
        picture_->Release();
        picture_ = nullptr;
    }
}

bool CPicture::Load(const char* name, const char* type, HMODULE module) {
    Unload();
    DWORD size = 0;
    if (!LoadResourceBytes(name, type, nullptr, &size, module) || size == 0) return false;
    std::vector<BYTE> bytes(size);
    if (!LoadResourceBytes(name, type, bytes.data(), &size, module)) return false;
    return LoadFromMemory(bytes.data(), size);
}

bool CPicture::LoadFromMemory(const void* bytes, DWORD count) {
    Unload();
    if (!bytes || count == 0) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, count);
    if (!block) return false;
    void* dest = GlobalLock(block);
    if (!dest) {
        GlobalFree(block);
        return false;
    }
    memcpy(dest, bytes, count);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
        // The stream never took the block over: it is still ours to free.
        GlobalFree(block);
        return false;
    }
    IPicture* picture = nullptr;
    HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(count), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&picture));
    stream->Release();
    if (hr != S_OK || !picture) {
        if (picture) picture->Release();
        return false;
    }
    picture_ = picture;
    return true;
}

bool CPicture::Draw(HDC dc, int x, int y, int width, int height) const {
    if (!picture_ || !dc) return false;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture_->get_Width(&w);
    picture_->get_Height(&h);
    // A picture drawn smaller than it is loses whole rows and columns; the
    // DC's default mode would AND them into their neighbours and smear dark
    // specks over text and ticks (the threshold scale is one pixel narrower
    // on the main face than in the dialogs).
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    // Pictures are stored bottom-up in HIMETRIC: start at the bottom with a
    // negative height so the result stands upright.
    const bool drawn = picture_->Render(dc, x, y, width, height, 0, h, w, -h, nullptr) == S_OK;
    if (oldMode) SetStretchBltMode(dc, oldMode);
    return drawn;
}

SIZE CPicture::NaturalSize(HDC dc) const {
    SIZE s{0, 0};
    if (!picture_) return s;
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture_->get_Width(&w);
    picture_->get_Height(&h);
    int dpiX = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    int dpiY = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    s.cx = MulDiv(w, dpiX, 2540);
    s.cy = MulDiv(h, dpiY, 2540);
    return s;
}

CXTMemDC::CXTMemDC(HDC target, const RECT* area) : target_(target), dc_(target) {
    if (!target) return;
    if (area) {
        area_ = *area;
    } else {
        GetClipBox(target, &area_);
    }
    if (GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) return;  // print straight on it
    RECT device = area_;
    LPtoDP(target, reinterpret_cast<POINT*>(&device), 2);
    int width = device.right - device.left;
    int height = device.bottom - device.top;
    // Minimised or fully covered windows have an empty clip box; there is
    // nothing to compose then, so draw (nothing) directly.
    if (width <= 0 || height <= 0) return;
    HDC mem = CreateCompatibleDC(target);
    if (!mem) return;
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    if (!bitmap) {
        DeleteDC(mem);
        return;
    }
    oldBitmap_ = SelectObject(mem, bitmap);
    SetMapMode(mem, GetMapMode(target));
    SetWindowOrgEx(mem, area_.left, area_.top, nullptr);
    dc_ = mem;
    bitmap_ = bitmap;
    isMemDC_ = true;
}

CXTMemDC::~CXTMemDC() {
    if (!isMemDC_) return;  // the target was only borrowed
    if (!noCopy) {
        BitBlt(target_, area_.left, area_.top, area_.right - area_.left,
               area_.bottom - area_.top, dc_, area_.left, area_.top, SRCCOPY);
    }
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}
