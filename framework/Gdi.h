// GDI owners: CPen, CBrush, CFont, CBitmap and CRgn own their handle and
// delete it in their destructor (non-copyable, movable); CDC owns a
// context it made with CreateCompatibleDC; CPaintDC, CClientDC and
// CWindowDC pair BeginPaint/GetDC with EndPaint/ReleaseDC. FromHandle
// gives a temporary non-owning wrapper (valid until the message loop next
// goes idle), which is what SelectObject returns for the object it
// replaced. ScopedSelect puts the old object back when the scope ends.
#pragma once

#include <windows.h>

#include "framework/Geometry.h"
#include "framework/String.h"

class CDC;
class CWnd;

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept;
    CGdiObject& operator=(CGdiObject&& other) noexcept;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);   // FALSE when one is already held
    HGDIOBJ Detach();
    BOOL DeleteObject();           // FALSE when nothing was held
    int GetObject(int size, void* out) const;
    BOOL CreateStockObject(int index);  // stock objects are never deleted
    static CGdiObject* FromHandle(HGDIOBJ object);

protected:
    bool m_owned = true;           // false for temporaries and stock objects
    friend struct GdiTemp;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    static CPen* FromHandle(HPEN pen);
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreatePatternBrush(class CBitmap* bitmap);
    BOOL CreateHatchBrush(int index, COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    static CBrush* FromHandle(HBRUSH brush);
};

class CFont : public CGdiObject {
public:
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                    BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                    BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, LPCSTR faceName);
    BOOL CreateFontIndirect(const LOGFONTA* font);
    // Size in tenths of a point, converted for `dc` (the screen when null).
    BOOL CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* dc = nullptr);
    int GetLogFont(LOGFONTA* font) const;
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    static CFont* FromHandle(HFONT font);
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT id);
    BOOL LoadBitmap(LPCSTR name);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    int GetBitmap(BITMAP* info) const;
    CSize GetSize() const;   // 0 x 0 when nothing is held
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    static CBitmap* FromHandle(HBITMAP bitmap);
};

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT rect);
    BOOL CreateEllipticRgn(int left, int top, int right, int bottom);
    BOOL CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h);
    // mode ALTERNATE or WINDING
    BOOL CreatePolygonRgn(const POINT* points, int count, int mode);
    // Both sources must exist; this region must exist too (make it with
    // CreateRectRgn(0,0,0,0) first). Returns the region type or ERROR.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    int CopyRgn(const CRgn* source);
    int OffsetRgn(int dx, int dy);
    int OffsetRgn(POINT p) { return OffsetRgn(p.x, p.y); }
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
    int GetRgnBox(LPRECT rect) const;
    void SetRectRgn(int left, int top, int right, int bottom);
    // A new region with the same shape, owned by the caller (for
    // SetWindowRgn, which takes ownership). Null when nothing is held.
    HRGN Clone() const;
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    static CRgn* FromHandle(HRGN region);
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    CDC(CDC&& other) noexcept;
    CDC& operator=(CDC&& other) noexcept;

    HDC m_hDC = nullptr;        // output
    HDC m_hAttribDC = nullptr;  // queries (the same context here)

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL Attach(HDC dc);   // not owned: Detach or destruction leaves it alone
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* dc);   // owned: deleted by DeleteDC/destructor
    BOOL DeleteDC();
    BOOL IsPrinting() const { return m_bPrinting; }
    static CDC* FromHandle(HDC dc);

    // Selection: each returns the object it replaced (a temporary wrapper).
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    int SelectObject(CRgn* region);   // region type; the region is copied
    CGdiObject* SelectStockObject(int index);
    int SelectClipRgn(CRgn* region);  // null removes the clip
    int SelectClipRgn(CRgn* region, int mode);
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(LPCRECT rect);
    int GetClipBox(LPRECT rect) const;
    int SaveDC();
    BOOL RestoreDC(int saved);

    // Attributes.
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    UINT SetTextAlign(UINT flags);
    int SetStretchBltMode(int mode);
    int GetMapMode() const;
    int SetMapMode(int mode);
    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const;
    CPoint SetViewportOrg(int x, int y);
    CPoint GetViewportOrg() const;
    void LPtoDP(LPPOINT points, int count = 1) const;
    void LPtoDP(LPRECT rect) const;
    void DPtoLP(LPPOINT points, int count = 1) const;
    void DPtoLP(LPRECT rect) const;
    int GetDeviceCaps(int index) const;

    // Drawing. FillSolidRect keeps the background colour as it was.
    void FillSolidRect(LPCRECT rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(LPCRECT rect, CBrush* brush);
    void FrameRect(LPCRECT rect, CBrush* brush);
    // A one-pixel frame: top and left in one colour, bottom and right in
    // the other (raised or sunken edges).
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, DWORD rop);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    BOOL TextOut(int x, int y, LPCSTR text, int length);
    BOOL TextOut(int x, int y, const CString& text);
    int DrawText(LPCSTR text, int length, LPRECT rect, UINT format);
    int DrawText(const CString& text, LPRECT rect, UINT format);
    CSize GetTextExtent(LPCSTR text, int length) const;
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(TEXTMETRICA* metrics) const;
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(LPCRECT rect);
    BOOL RoundRect(int left, int top, int right, int bottom, int w, int h);
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL Ellipse(LPCRECT rect);
    BOOL Polygon(const POINT* points, int count);
    BOOL Polyline(const POINT* points, int count);
    BOOL FillRgn(CRgn* region, CBrush* brush);
    BOOL FrameRgn(CRgn* region, CBrush* brush, int width, int height);
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;
    BOOL DrawIcon(int x, int y, HICON icon);
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);

protected:
    bool m_owned = false;      // made by CreateCompatibleDC
    bool m_bPrinting = false;
    friend struct GdiTemp;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    CPaintDC(CPaintDC&&) = delete;
    PAINTSTRUCT m_ps{};
private:
    HWND m_hWnd;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);   // null: the screen
    ~CClientDC() override;
    CClientDC(CClientDC&&) = delete;
private:
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);   // null: the screen
    ~CWindowDC() override;
    CWindowDC(CWindowDC&&) = delete;
private:
    HWND m_hWnd;
};

// Selects `object` into `dc` and puts the previous object back at the end
// of the scope (pens, brushes, fonts, bitmaps).
class ScopedSelect {
public:
    ScopedSelect(CDC& dc, CGdiObject& object)
        : dc_(dc.m_hDC), old_(::SelectObject(dc.m_hDC, object.m_hObject)) {}
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~ScopedSelect() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// Frees the temporary wrappers of FromHandle; the message loops call it
// when they go idle.
void AfxDeleteTemporaryObjects();
