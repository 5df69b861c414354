#include "framework/Gdi.h"

#include <cstdlib>
#include <utility>

#include "framework/App.h"

#include "framework/Internal.h"
#include "framework/Wnd.h"

struct GdiTemp {
    template <class T, class Map>
    static T* Wrap(Map& map, HGDIOBJ handle) {
        if (!handle) return nullptr;
        auto it = map.find(handle);
        if (it != map.end()) return it->second.get();
        auto object = std::make_unique<T>();
        object->m_hObject = handle;
        object->m_owned = false;
        return map.emplace(handle, std::move(object)).first->second.get();
    }
    static CDC* WrapDC(HDC dc) {
        if (!dc) return nullptr;
        auto& map = Temps().dcs;
        auto it = map.find(dc);
        if (it != map.end()) return it->second.get();
        auto object = std::make_unique<CDC>();
        object->m_hDC = object->m_hAttribDC = dc;
        object->m_owned = false;
        return map.emplace(dc, std::move(object)).first->second.get();
    }
};

namespace {
// A plain pointer, not a thread_local object: an object with a destructor
// makes the runtime hold the module that owns it until the thread ends, so
// a DLL whose windows once ran on the host's main thread could never unload.
thread_local TempMaps* t_temps = nullptr;
}  // namespace

TempMaps& Temps() {
    if (!t_temps) t_temps = new TempMaps;
    return *t_temps;
}

void AfxDeleteTemporaryObjects() {
    // Detach first: destroying a wrapper must not meet a map in the middle
    // of being cleared (it may even make a new one).
    while (TempMaps* old = t_temps) {
        t_temps = nullptr;
        delete old;
    }
}

// ---- CGdiObject -------------------------------------------------------------

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject::CGdiObject(CGdiObject&& other) noexcept
    : m_hObject(std::exchange(other.m_hObject, nullptr)), m_owned(other.m_owned) {
    other.m_owned = true;
}

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
    if (this != &other) {
        DeleteObject();
        m_hObject = std::exchange(other.m_hObject, nullptr);
        m_owned = other.m_owned;
        other.m_owned = true;
    }
    return *this;
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (!object || m_hObject) return FALSE;
    m_hObject = object;
    m_owned = true;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    m_owned = true;
    return std::exchange(m_hObject, nullptr);
}

BOOL CGdiObject::DeleteObject() {
    HGDIOBJ object = std::exchange(m_hObject, nullptr);
    bool owned = m_owned;
    m_owned = true;
    if (!object) return FALSE;
    return owned ? ::DeleteObject(object) : TRUE;
}

int CGdiObject::GetObject(int size, void* out) const {
    return m_hObject ? ::GetObjectA(m_hObject, size, out) : 0;
}

BOOL CGdiObject::CreateStockObject(int index) {
    HGDIOBJ object = ::GetStockObject(index);
    if (!object || !Attach(object)) return FALSE;
    m_owned = false;
    return TRUE;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ object) { return GdiTemp::Wrap<CGdiObject>(Temps().objects, object); }

BOOL CPen::CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
CPen* CPen::FromHandle(HPEN pen) { return GdiTemp::Wrap<CPen>(Temps().pens, pen); }

BOOL CBrush::CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return bitmap ? Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject))) : FALSE;
}
BOOL CBrush::CreateHatchBrush(int index, COLORREF color) { return Attach(::CreateHatchBrush(index, color)); }
CBrush* CBrush::FromHandle(HBRUSH brush) { return GdiTemp::Wrap<CBrush>(Temps().brushes, brush); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCSTR faceName) {
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName));
}
BOOL CFont::CreateFontIndirect(const LOGFONTA* font) { return font ? Attach(::CreateFontIndirectA(font)) : FALSE; }
BOOL CFont::CreatePointFont(int pointSizeTenths, LPCSTR faceName, CDC* dc) {
    HDC screen = nullptr;
    HDC target = dc ? dc->m_hAttribDC : (screen = ::GetDC(nullptr));
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (faceName) lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
    // Tenths of a point to logical units of the target.
    POINT pt{0, MulDiv(::GetDeviceCaps(target, LOGPIXELSY), pointSizeTenths, 720)};
    POINT origin{0, 0};
    ::DPtoLP(target, &pt, 1);
    ::DPtoLP(target, &origin, 1);
    lf.lfHeight = -std::abs(static_cast<int>(pt.y - origin.y));
    if (screen) ::ReleaseDC(nullptr, screen);
    return CreateFontIndirect(&lf);
}
int CFont::GetLogFont(LOGFONTA* font) const { return GetObject(sizeof(LOGFONTA), font); }
CFont* CFont::FromHandle(HFONT font) { return GdiTemp::Wrap<CFont>(Temps().fonts, font); }

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEA(id)); }
BOOL CBitmap::LoadBitmap(LPCSTR name) {
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), name));
}
BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return dc ? Attach(::CreateCompatibleBitmap(dc->m_hDC, width, height)) : FALSE;
}
BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}
int CBitmap::GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
CSize CBitmap::GetSize() const {
    BITMAP bm{};
    if (!GetBitmap(&bm)) return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return GdiTemp::Wrap<CBitmap>(Temps().bitmaps, bitmap); }

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    return Attach(::CreateRectRgn(left, top, right, bottom));
}
BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect) { return rect ? Attach(::CreateRectRgnIndirect(rect)) : FALSE; }
BOOL CRgn::CreateEllipticRgn(int left, int top, int right, int bottom) {
    return Attach(::CreateEllipticRgn(left, top, right, bottom));
}
BOOL CRgn::CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
    return Attach(::CreateRoundRectRgn(left, top, right, bottom, w, h));
}
BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int mode) {
    return points && count > 0 ? Attach(::CreatePolygonRgn(points, count, mode)) : FALSE;
}
int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    if (!m_hObject || !a || !a->m_hObject) return ERROR;
    HRGN second = b ? static_cast<HRGN>(b->m_hObject) : nullptr;
    if (mode != RGN_COPY && !second) return ERROR;
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(a->m_hObject), second, mode);
}
int CRgn::CopyRgn(const CRgn* source) {
    if (!source || !source->m_hObject) return ERROR;
    if (!m_hObject && !CreateRectRgn(0, 0, 0, 0)) return ERROR;
    return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(source->m_hObject), nullptr, RGN_COPY);
}
int CRgn::OffsetRgn(int dx, int dy) { return m_hObject ? ::OffsetRgn(static_cast<HRGN>(m_hObject), dx, dy) : ERROR; }
BOOL CRgn::PtInRegion(int x, int y) const {
    return m_hObject ? ::PtInRegion(static_cast<HRGN>(m_hObject), x, y) : FALSE;
}
int CRgn::GetRgnBox(LPRECT rect) const { return m_hObject ? ::GetRgnBox(static_cast<HRGN>(m_hObject), rect) : ERROR; }
void CRgn::SetRectRgn(int left, int top, int right, int bottom) {
    if (m_hObject) ::SetRectRgn(static_cast<HRGN>(m_hObject), left, top, right, bottom);
}
HRGN CRgn::Clone() const {
    if (!m_hObject) return nullptr;
    HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    if (copy && ::CombineRgn(copy, static_cast<HRGN>(m_hObject), nullptr, RGN_COPY) == ERROR) {
        ::DeleteObject(copy);
        return nullptr;
    }
    return copy;
}
CRgn* CRgn::FromHandle(HRGN region) { return GdiTemp::Wrap<CRgn>(Temps().regions, region); }

// ---- CDC --------------------------------------------------------------------

CDC::~CDC() {
    if (m_owned) DeleteDC();
}

CDC::CDC(CDC&& other) noexcept
    : m_hDC(std::exchange(other.m_hDC, nullptr)),
      m_hAttribDC(std::exchange(other.m_hAttribDC, nullptr)),
      m_owned(std::exchange(other.m_owned, false)),
      m_bPrinting(std::exchange(other.m_bPrinting, false)) {}

CDC& CDC::operator=(CDC&& other) noexcept {
    if (this != &other) {
        if (m_owned) DeleteDC();
        m_hDC = std::exchange(other.m_hDC, nullptr);
        m_hAttribDC = std::exchange(other.m_hAttribDC, nullptr);
        m_owned = std::exchange(other.m_owned, false);
        m_bPrinting = std::exchange(other.m_bPrinting, false);
    }
    return *this;
}

BOOL CDC::Attach(HDC dc) {
    if (!dc || m_hDC) return FALSE;
    m_hDC = m_hAttribDC = dc;
    m_owned = false;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    m_owned = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    if (m_hDC) return FALSE;
    HDC made = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
    if (!made) return FALSE;
    m_hDC = m_hAttribDC = made;
    m_owned = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    BOOL ok = m_owned ? ::DeleteDC(m_hDC) : TRUE;
    m_hDC = m_hAttribDC = nullptr;
    m_owned = false;
    return ok;
}

CDC* CDC::FromHandle(HDC dc) { return GdiTemp::WrapDC(dc); }

namespace {
HGDIOBJ Select(HDC dc, const CGdiObject* object) {
    if (!dc || !object || !object->m_hObject) return nullptr;
    HGDIOBJ old = ::SelectObject(dc, object->m_hObject);
    return old == HGDI_ERROR ? nullptr : old;
}
}  // namespace

CPen* CDC::SelectObject(CPen* pen) { return CPen::FromHandle(static_cast<HPEN>(Select(m_hDC, pen))); }
CBrush* CDC::SelectObject(CBrush* brush) { return CBrush::FromHandle(static_cast<HBRUSH>(Select(m_hDC, brush))); }
CFont* CDC::SelectObject(CFont* font) { return CFont::FromHandle(static_cast<HFONT>(Select(m_hDC, font))); }
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return CBitmap::FromHandle(static_cast<HBITMAP>(Select(m_hDC, bitmap)));
}
int CDC::SelectObject(CRgn* region) {
    if (!region || !region->m_hObject) return ERROR;
    return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, region->m_hObject)));
}
CGdiObject* CDC::SelectStockObject(int index) {
    HGDIOBJ stock = ::GetStockObject(index);
    if (!stock) return nullptr;
    HGDIOBJ old = ::SelectObject(m_hDC, stock);
    return old == HGDI_ERROR ? nullptr : CGdiObject::FromHandle(old);
}
int CDC::SelectClipRgn(CRgn* region) {
    return ::SelectClipRgn(m_hDC, region ? static_cast<HRGN>(region->m_hObject) : nullptr);
}
int CDC::SelectClipRgn(CRgn* region, int mode) {
    return ::ExtSelectClipRgn(m_hDC, region ? static_cast<HRGN>(region->m_hObject) : nullptr, mode);
}
int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    return ::IntersectClipRect(m_hDC, left, top, right, bottom);
}
int CDC::IntersectClipRect(LPCRECT r) { return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom); }
int CDC::GetClipBox(LPRECT rect) const { return ::GetClipBox(m_hDC, rect); }
int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
UINT CDC::SetTextAlign(UINT flags) { return ::SetTextAlign(m_hDC, flags); }
int CDC::SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
int CDC::GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
int CDC::SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}
CPoint CDC::GetWindowOrg() const {
    POINT p{};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT old{};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}
CPoint CDC::GetViewportOrg() const {
    POINT p{};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}
void CDC::LPtoDP(LPPOINT points, int count) const { ::LPtoDP(m_hAttribDC, points, count); }
void CDC::LPtoDP(LPRECT rect) const { ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(rect), 2); }
void CDC::DPtoLP(LPPOINT points, int count) const { ::DPtoLP(m_hAttribDC, points, count); }
void CDC::DPtoLP(LPRECT rect) const { ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(rect), 2); }
int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hAttribDC, index); }

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}
void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, color);
}
void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    if (brush) ::FillRect(m_hDC, rect, static_cast<HBRUSH>(brush->m_hObject));
}
void CDC::FrameRect(LPCRECT rect, CBrush* brush) {
    if (brush) ::FrameRect(m_hDC, rect, static_cast<HBRUSH>(brush->m_hObject));
}
void CDC::Draw3dRect(LPCRECT r, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    if (cx <= 0 || cy <= 0) return;
    FillSolidRect(x, y, cx - 1, 1, topLeft);            // top, without the top-right pixel
    FillSolidRect(x, y, 1, cy - 1, topLeft);            // left, without the bottom-left pixel
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);   // right, full height
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);   // bottom, full width
}
BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSrc, ySrc, rop);
}
BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, int srcWidth,
                     int srcHeight, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, xSrc, ySrc, srcWidth,
                        srcHeight, rop);
}
BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }
BOOL CDC::TextOut(int x, int y, LPCSTR text, int length) {
    return text ? ::TextOutA(m_hDC, x, y, text, length) : FALSE;
}
BOOL CDC::TextOut(int x, int y, const CString& text) { return TextOut(x, y, text.GetString(), text.GetLength()); }
int CDC::DrawText(LPCSTR text, int length, LPRECT rect, UINT format) {
    // DT_MODIFYSTRING would write past the caller's text.
    return text ? ::DrawTextA(m_hDC, text, length, rect, format & ~static_cast<UINT>(DT_MODIFYSTRING)) : 0;
}
int CDC::DrawText(const CString& text, LPRECT rect, UINT format) {
    return DrawText(text.GetString(), text.GetLength(), rect, format);
}
CSize CDC::GetTextExtent(LPCSTR text, int length) const {
    SIZE s{0, 0};
    if (text) ::GetTextExtentPoint32A(m_hAttribDC, text, length, &s);
    return CSize(s);
}
CSize CDC::GetTextExtent(const CString& text) const { return GetTextExtent(text.GetString(), text.GetLength()); }
BOOL CDC::GetTextMetrics(TEXTMETRICA* metrics) const { return ::GetTextMetricsA(m_hAttribDC, metrics); }
CPoint CDC::MoveTo(int x, int y) {
    POINT old{};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::Rectangle(int left, int top, int right, int bottom) { return ::Rectangle(m_hDC, left, top, right, bottom); }
BOOL CDC::Rectangle(LPCRECT r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::RoundRect(int left, int top, int right, int bottom, int w, int h) {
    return ::RoundRect(m_hDC, left, top, right, bottom, w, h);
}
BOOL CDC::Ellipse(int left, int top, int right, int bottom) { return ::Ellipse(m_hDC, left, top, right, bottom); }
BOOL CDC::Ellipse(LPCRECT r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
BOOL CDC::Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count); }
BOOL CDC::Polyline(const POINT* points, int count) { return ::Polyline(m_hDC, points, count); }
BOOL CDC::FillRgn(CRgn* region, CBrush* brush) {
    if (!region || !brush) return FALSE;
    return ::FillRgn(m_hDC, static_cast<HRGN>(region->m_hObject), static_cast<HBRUSH>(brush->m_hObject));
}
BOOL CDC::FrameRgn(CRgn* region, CBrush* brush, int width, int height) {
    if (!region || !brush) return FALSE;
    return ::FrameRgn(m_hDC, static_cast<HRGN>(region->m_hObject), static_cast<HBRUSH>(brush->m_hObject), width,
                      height);
}
COLORREF CDC::SetPixel(int x, int y, COLORREF color) { return ::SetPixel(m_hDC, x, y, color); }
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
BOOL CDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }

// ---- window contexts --------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    HDC dc = ::BeginPaint(m_hWnd, &m_ps);
    m_hDC = m_hAttribDC = dc;
}
CPaintDC::~CPaintDC() {
    if (m_hDC) ::EndPaint(m_hWnd, &m_ps);
    m_hDC = m_hAttribDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    m_hDC = m_hAttribDC = ::GetDC(m_hWnd);
}
CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = m_hAttribDC = nullptr;
}

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) {
    m_hDC = m_hAttribDC = ::GetWindowDC(m_hWnd);
}
CWindowDC::~CWindowDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = m_hAttribDC = nullptr;
}
