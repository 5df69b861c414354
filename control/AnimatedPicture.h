// A picture shown in an existing child window that this object subclasses:
// a GIF animated frame by frame on a thread of its own, or any format the
// system's picture loader reads, shown still. Each GIF frame is turned back
// into a small standalone GIF for the system loader to decode.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <vector>

struct GifFrame {
    IPicture* picture = nullptr;  // owned
    int width = 0, height = 0, left = 0, top = 0;
    int delay = -1;   // hundredths of a second; -1 without control extension
    int disposal = 0;
};

class CAnimatedPicture {
public:
    CAnimatedPicture();
    virtual ~CAnimatedPicture();
    CAnimatedPicture(const CAnimatedPicture&) = delete;
    CAnimatedPicture& operator=(const CAnimatedPicture&) = delete;

    // Attaches to `window` (the control's picture area); false when it is
    // not a window or another object already holds it.
    bool SubclassWindow(HWND window);
    void UnsubclassWindow();
    HWND Window() const { return window_; }

    // 1 when the data (a global memory block of `size` bytes, which stays
    // the caller's) was decoded and the surface prepared, 0 otherwise.
    int Load(HGLOBAL memory, DWORD size);
    int LoadFromFile(const char* path);
    int LoadFromResource(const char* name, const char* type, HMODULE module = nullptr);

    // Starts the animation (0) or renders the still picture (1); 0 when
    // nothing is loaded.
    int Draw();
    void Stop();
    void UnLoad();

    bool IsPlaying() const { return playing_ != 0; }
    size_t FrameCount() const { return frames_.size(); }
    SIZE Size() const { return SIZE{width_, height_}; }

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    static DWORD WINAPI AnimationThread(void* self);
    void Animate();
    int LoadStill(HGLOBAL memory, DWORD size);
    int LoadGif(const BYTE* data, DWORD size);
    bool PrepareSurface(int width, int height);
    void OnPaint();
    void FillBackground(const RECT& r);
    void SaveArea(const GifFrame& f);
    void RestoreArea();
    void Render(IPicture* picture, int x, int y, int cx, int cy);
    void Invalidate(const RECT* r);

    HWND window_ = nullptr;
    WNDPROC oldProc_ = nullptr;

    std::vector<GifFrame> frames_;
    size_t current_ = 0;
    IPicture* picture_ = nullptr;  // non-GIF data and one-frame GIFs
    int width_ = 0, height_ = 0;
    COLORREF background_ = 0xFFFFFF;

    HDC surface_ = nullptr;
    HBITMAP surfaceBitmap_ = nullptr;
    HGDIOBJ surfaceOld_ = nullptr;
    HDC saved_ = nullptr;  // the area under a frame that restores it (disposal 3)
    HBITMAP savedBitmap_ = nullptr;
    HGDIOBJ savedOld_ = nullptr;
    RECT savedRect_{};

    HANDLE thread_ = nullptr;  // created and closed by the window's thread only
    volatile LONG playing_ = 0;
    volatile LONG exit_ = 0;
    HANDLE stopEvent_ = nullptr;
    bool ready_ = false;
    // Rendering into the surface, painting from it and freeing it.
    CRITICAL_SECTION lock_;
};
