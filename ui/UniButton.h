// The program's one button class: an owner-drawn push button cut to a
// region, with skin faces (base name + "UP"/"DOWN"/"DISABLE"), two-state
// faces for check boxes and radio buttons, or plain faces drawn from the
// region itself.
#pragma once

#include <windows.h>

#include "ui/Picture.h"

class CUniButton {
public:
    enum FaceMode { kRegionFaces = 0, kResourceFaces = 1, kCheckFaces = 2, kRadioFaces = 3 };
    enum FaceState { kNormal = 0, kPressed = 1, kHover = 2, kDisabled = 3 };

    CUniButton();
    virtual ~CUniButton();
    CUniButton(const CUniButton&) = delete;
    CUniButton& operator=(const CUniButton&) = delete;

    // Creates the button window with `baseName` as its caption. The shape
    // is copied (the caller keeps and deletes it) and moved so its bounding
    // box starts at (0, 0); the window's box is placed at (x, y).
    bool Create(const char* baseName, DWORD style, HRGN shape, HWND parent, UINT id, int x,
                int y);
    void Destroy();

    HWND GetSafeHwnd() const { return hwnd_; }
    UINT GetDlgCtrlID() const { return id_; }

    // Draws the face for an owner-draw request. Parents that get
    // WM_DRAWITEM for one of our buttons may hand it here; the button also
    // paints itself, so they need not.
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    // Finds the button object of a window created by Create, or null.
    static CUniButton* FromHandle(HWND hwnd);
    // Convenience for parents: true when `lParam` was one of ours and drawn.
    static bool ReflectDrawItem(LPARAM lParam);

    // Repaints the whole button now (after the owner changed checked or faceMode).
    void Redraw();

    int faceMode = kRegionFaces;
    int bevelDepth = 1;
    COLORREF colours[4];
    BYTE checked = 0;

    bool IsHover() const { return hover_; }
    bool IsCaptured() const { return captured_; }
    bool IsPressed() const { return pressed_; }
    // The private copy of the shape, in window coordinates (for hit tests).
    HRGN Region() const { return region_; }
    // Which face the last paint chose (name of the resource, or "" for
    // region faces); tests read it.
    const char* LastFace() const { return lastFace_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void HoverTest(POINT pt);
    void LeaveHover();
    bool PushedNow() const;
    void PaintSelf();
    void DrawResourceFace(HDC dc, const RECT& rc, const char* suffix);
    void BuildRegionFaces(HDC dc, const RECT& rc);
    void DeleteRegionFaces();
    void DrawCaption(HDC dc, const RECT& rc, bool pressed, bool disabled);
    void FillBevel(HDC dc, int depth, COLORREF colour);

    HWND hwnd_ = nullptr;
    WNDPROC baseProc_ = nullptr;
    UINT id_ = 0;
    char baseName_[64] = "";
    CPicture picture_;
    char loadedFace_[80] = "";   // name of the face held in picture_
    char lastFace_[80] = "";
    HBITMAP stateBitmaps_[4] = {};
    POINT centre_{0, 0};
    bool hover_ = false;
    bool captured_ = false;
    bool pressed_ = false;
    bool facesDirty_ = true;
    HRGN region_ = nullptr;
};
