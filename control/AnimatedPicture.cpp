#include "control/AnimatedPicture.h"

#include <cstdio>
#include <cstring>

#include "control/GifFrames.h"
#include "filters/base/Module.h"

namespace {

const char* const OwnerProp = "CAnimatedPicture";

IPicture* PictureFromGlobal(HGLOBAL memory, DWORD size, BOOL freeWithStream) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, freeWithStream, &stream))) {
        if (freeWithStream) GlobalFree(memory);
        return nullptr;
    }
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture))))
        picture = nullptr;
    stream->Release();
    return picture;
}

HGLOBAL CopyToGlobal(const void* bytes, size_t size, UINT flags) {
    HGLOBAL memory = GlobalAlloc(flags, size);
    if (!memory) return nullptr;
    void* p = GlobalLock(memory);
    if (!p) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(p, bytes, size);
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

CAnimatedPicture::CAnimatedPicture() {
    InitializeCriticalSection(&lock_);
    stopEvent_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

CAnimatedPicture::~CAnimatedPicture() {
    UnLoad();
    UnsubclassWindow();
    if (stopEvent_) CloseHandle(stopEvent_);
    DeleteCriticalSection(&lock_);
}

bool CAnimatedPicture::SubclassWindow(HWND window) {
    if (!IsWindow(window) || window_ || GetPropA(window, OwnerProp)) return false;
    if (!SetPropA(window, OwnerProp, this)) return false;
    window_ = window;
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc)));
    return true;
}

void CAnimatedPicture::UnsubclassWindow() {
    if (!window_) return;
    if (IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
        RemovePropA(window_, OwnerProp);
    }
    window_ = nullptr;
    oldProc_ = nullptr;
}

LRESULT CALLBACK CAnimatedPicture::WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<CAnimatedPicture*>(GetPropA(wnd, OwnerProp));
    if (!self) return DefWindowProcA(wnd, msg, wp, lp);
    WNDPROC old = self->oldProc_;
    switch (msg) {
    case WM_DESTROY:
        self->Stop();
        break;
    case WM_NCDESTROY:
        // The window goes; its procedure must not point at us afterwards.
        self->UnsubclassWindow();
        return CallWindowProcA(old, wnd, msg, wp, lp);
    case WM_ERASEBKGND:
        if (self->ready_) return 1;  // the surface covers the window
        break;
    case WM_PAINT:
        self->OnPaint();
        return 0;
    default:
        break;
    }
    return CallWindowProcA(old, wnd, msg, wp, lp);
}

void CAnimatedPicture::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (dc) {
        EnterCriticalSection(&lock_);
        if (ready_ && surface_) {
            RECT r = ps.rcPaint;
            if (IsRectEmpty(&r)) SetRect(&r, 0, 0, width_, height_);
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, surface_, r.left, r.top,
                   SRCCOPY);
        }
        LeaveCriticalSection(&lock_);
    }
    EndPaint(window_, &ps);
}

int CAnimatedPicture::LoadFromFile(const char* path) {
    FILE* f = path ? fopen(path, "rb") : nullptr;
    if (!f) return 0;
    int result = 0;
    long size = -1;
    if (fseek(f, 0, SEEK_END) == 0) size = ftell(f);
    if (size > 0 && fseek(f, 0, SEEK_SET) == 0) {
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size))) {
            void* p = GlobalLock(memory);
            bool complete = p && fread(p, 1, static_cast<size_t>(size), f) ==
                                     static_cast<size_t>(size);
            if (p) GlobalUnlock(memory);
            if (complete) result = Load(memory, static_cast<DWORD>(size));
            GlobalFree(memory);
        }
    }
    fclose(f);
    return result;
}

int CAnimatedPicture::LoadFromResource(const char* name, const char* type, HMODULE module) {
    HRSRC res = FindResourceA(module, name, type);
    if (!res) return 0;
    DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return 0;
    HGLOBAL memory = CopyToGlobal(bytes, size, GMEM_MOVEABLE);
    if (!memory) return 0;
    int result = Load(memory, size);
    GlobalFree(memory);
    return result;
}

int CAnimatedPicture::Load(HGLOBAL memory, DWORD size) {
    UnLoad();
    if (!memory || size == 0) return 0;
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(memory));
    if (!data) return 0;
    if (GlobalSize(memory) < size) {
        GlobalUnlock(memory);
        return 0;
    }
    if (!IsGifData(data, size)) {
        GlobalUnlock(memory);
        return LoadStill(memory, size);
    }
    GifLayout layout;
    bool parsed = ParseGifFrames(data, size, &layout);
    if (!parsed) {
        GlobalUnlock(memory);
        return 0;
    }
    if (layout.Frames.size() == 1) {
        GlobalUnlock(memory);
        return LoadStill(memory, size);
    }
    int result = 0;
    for (const GifFrameSpan& span : layout.Frames) {
        std::vector<BYTE> gif = BuildFrameGif(data, layout, span);
        HGLOBAL frameMemory = CopyToGlobal(gif.data(), gif.size(), GMEM_FIXED);
        if (!frameMemory) continue;
        IPicture* picture = PictureFromGlobal(frameMemory, static_cast<DWORD>(gif.size()), TRUE);
        if (!picture) continue;  // a frame the loader refuses is left out
        GifFrame f;
        f.picture = picture;
        f.width = span.Width;
        f.height = span.Height;
        f.left = span.Left;
        f.top = span.Top;
        f.delay = span.Delay;
        f.disposal = span.Disposal;
        frames_.push_back(f);
    }
    GlobalUnlock(memory);
    if (!frames_.empty() && PrepareSurface(layout.Width, layout.Height)) result = 1;
    if (!result) UnLoad();
    return result;
}

int CAnimatedPicture::LoadStill(HGLOBAL memory, DWORD size) {
    picture_ = PictureFromGlobal(memory, size, FALSE);
    if (!picture_) return 0;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture_->get_Width(&hmWidth);
    picture_->get_Height(&hmHeight);
    HDC dc = GetDC(window_);
    int w = MulDiv(hmWidth, GetDeviceCaps(dc, LOGPIXELSX), 2540);
    int h = MulDiv(hmHeight, GetDeviceCaps(dc, LOGPIXELSY), 2540);
    ReleaseDC(window_, dc);
    if (!PrepareSurface(w, h)) {
        UnLoad();
        return 0;
    }
    return 1;
}

bool CAnimatedPicture::PrepareSurface(int width, int height) {
    if (!window_ || width <= 0 || height <= 0) return false;
    width_ = width;
    height_ = height;
    SetWindowPos(window_, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HDC dc = GetDC(window_);
    if (!dc) return false;
    EnterCriticalSection(&lock_);
    surface_ = CreateCompatibleDC(dc);
    surfaceBitmap_ = surface_ ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    ReleaseDC(window_, dc);
    if (surfaceBitmap_) surfaceOld_ = SelectObject(surface_, surfaceBitmap_);
    // Disposal, the loop's restart and the first fill all use the face colour
    // of the page's buttons, so transparent pixels blend with the panel.
    background_ = GetSysColor(COLOR_BTNFACE);
    bool ok = surface_ && surfaceBitmap_;
    LeaveCriticalSection(&lock_);
    if (!ok) return false;
    RECT all{0, 0, width, height};
    FillBackground(all);
    ready_ = true;
    return true;
}

void CAnimatedPicture::FillBackground(const RECT& r) {
    EnterCriticalSection(&lock_);
    if (surface_) FillRect(surface_, &r, GetSysColorBrush(COLOR_BTNFACE));
    LeaveCriticalSection(&lock_);
}

void CAnimatedPicture::Render(IPicture* picture, int x, int y, int cx, int cy) {
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture->get_Width(&hmWidth);
    picture->get_Height(&hmHeight);
    EnterCriticalSection(&lock_);
    if (surface_) picture->Render(surface_, x, y, cx, cy, 0, hmHeight, hmWidth, -hmHeight, nullptr);
    LeaveCriticalSection(&lock_);
}

void CAnimatedPicture::Invalidate(const RECT* r) {
    if (window_) InvalidateRect(window_, r, FALSE);
}

void CAnimatedPicture::SaveArea(const GifFrame& f) {
    EnterCriticalSection(&lock_);
    if (surface_ && !saved_) {
        saved_ = CreateCompatibleDC(surface_);
        savedBitmap_ = saved_ ? CreateCompatibleBitmap(surface_, f.width, f.height) : nullptr;
        if (savedBitmap_) {
            savedOld_ = SelectObject(saved_, savedBitmap_);
            SetRect(&savedRect_, f.left, f.top, f.left + f.width, f.top + f.height);
            BitBlt(saved_, 0, 0, f.width, f.height, surface_, f.left, f.top, SRCCOPY);
        } else if (saved_) {
            DeleteDC(saved_);
            saved_ = nullptr;
        }
    }
    LeaveCriticalSection(&lock_);
}

void CAnimatedPicture::RestoreArea() {
    EnterCriticalSection(&lock_);
    if (saved_) {
        if (surface_)
            BitBlt(surface_, savedRect_.left, savedRect_.top, savedRect_.right - savedRect_.left,
                   savedRect_.bottom - savedRect_.top, saved_, 0, 0, SRCCOPY);
        SelectObject(saved_, savedOld_);
        DeleteObject(savedBitmap_);
        DeleteDC(saved_);
        saved_ = nullptr;
        savedBitmap_ = nullptr;
    }
    LeaveCriticalSection(&lock_);
}

int CAnimatedPicture::Draw() {
    if (!ready_) return 0;
    // One animation per window: a running one ends before anything new.
    Stop();
    if (frames_.size() > 1) {
        thread_ = filterbase::StartModuleThread(&AnimationThread, this);
        return 0;
    }
    if (!picture_) return 0;
    Render(picture_, 0, 0, width_, height_);
    Invalidate(nullptr);
    return 1;
}

DWORD WINAPI CAnimatedPicture::AnimationThread(void* self) {
    auto* p = static_cast<CAnimatedPicture*>(self);
    InterlockedExchange(&p->playing_, 1);
    p->Animate();
    InterlockedExchange(&p->playing_, 0);
    return 0;
}

void CAnimatedPicture::Animate() {
    if (current_ >= frames_.size()) current_ = 0;
    const GifFrame& first = frames_[current_];
    RECT r{first.left, first.top, first.left + first.width, first.top + first.height};
    if (first.disposal == 2) FillBackground(r);
    if (first.disposal == 3) RestoreArea();
    while (!InterlockedCompareExchange(&exit_, 0, 0)) {
        const GifFrame& f = frames_[current_];
        RECT fr{f.left, f.top, f.left + f.width, f.top + f.height};
        if (f.picture) {
            if (f.disposal == 3) SaveArea(f);
            Render(f.picture, f.left, f.top, f.width, f.height);
            Invalidate(&fr);
        }
        DWORD wait = GifFrameDelayMs(f.delay);
        if (WaitForSingleObject(stopEvent_, wait) == WAIT_OBJECT_0 ||
            InterlockedCompareExchange(&exit_, 0, 0))
            break;
        if (f.disposal == 2) FillBackground(fr);
        if (f.disposal == 3) RestoreArea();
        if (++current_ >= frames_.size()) {
            current_ = 0;
            RECT all{0, 0, width_, height_};
            FillBackground(all);
            Invalidate(nullptr);
        }
    }
}

void CAnimatedPicture::Stop() {
    InterlockedExchange(&playing_, 0);
    InterlockedExchange(&exit_, 1);
    if (stopEvent_) SetEvent(stopEvent_);
    if (thread_) {
        // Waiting to the end: the thread draws into what UnLoad frees.
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (stopEvent_) ResetEvent(stopEvent_);
    InterlockedExchange(&exit_, 0);
}

void CAnimatedPicture::UnLoad() {
    Stop();
    EnterCriticalSection(&lock_);
    for (GifFrame& f : frames_)
        if (f.picture) f.picture->Release();
    frames_.clear();
    current_ = 0;
    if (picture_) picture_->Release();
    picture_ = nullptr;
    if (saved_) {
        SelectObject(saved_, savedOld_);
        DeleteObject(savedBitmap_);
        DeleteDC(saved_);
    }
    saved_ = nullptr;
    savedBitmap_ = nullptr;
    if (surface_) {
        SelectObject(surface_, surfaceOld_);
        DeleteDC(surface_);
    }
    if (surfaceBitmap_) DeleteObject(surfaceBitmap_);
    surface_ = nullptr;
    surfaceBitmap_ = nullptr;
    width_ = height_ = 0;
    background_ = 0xFFFFFF;
    ready_ = false;
    LeaveCriticalSection(&lock_);
}
