#include "framework/Menu.h"

#include <memory>
#include <utility>

#include "framework/App.h"
#include "framework/Internal.h"

struct MenuTemp {
    static CMenu* Wrap(HMENU menu) {
        if (!menu) return nullptr;
        auto& map = Temps().menus;
        auto it = map.find(menu);
        if (it != map.end()) return it->second.get();
        auto object = std::make_unique<CMenu>();
        object->m_hMenu = menu;
        object->owned_ = false;
        return map.emplace(menu, std::move(object)).first->second.get();
    }
};

CMenu::~CMenu() { DestroyMenu(); }

CMenu::CMenu(CMenu&& other) noexcept
    : m_hMenu(std::exchange(other.m_hMenu, nullptr)), owned_(other.owned_) {
    other.owned_ = true;
}

CMenu& CMenu::operator=(CMenu&& other) noexcept {
    if (this != &other) {
        DestroyMenu();
        m_hMenu = std::exchange(other.m_hMenu, nullptr);
        owned_ = other.owned_;
        other.owned_ = true;
    }
    return *this;
}

CMenu* CMenu::FromHandle(HMENU menu) { return MenuTemp::Wrap(menu); }

BOOL CMenu::Attach(HMENU menu) {
    if (!menu || m_hMenu) return FALSE;
    m_hMenu = menu;
    owned_ = true;
    return TRUE;
}

HMENU CMenu::Detach() {
    owned_ = true;
    return std::exchange(m_hMenu, nullptr);
}

BOOL CMenu::DestroyMenu() {
    HMENU menu = std::exchange(m_hMenu, nullptr);
    bool owned = owned_;
    owned_ = true;
    if (!menu) return FALSE;
    return owned ? ::DestroyMenu(menu) : TRUE;
}

BOOL CMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEA(id)); }
BOOL CMenu::LoadMenu(LPCSTR name) {
    if (m_hMenu) return FALSE;
    return Attach(::LoadMenuA(AfxGetResourceHandle(), name));
}
BOOL CMenu::CreatePopupMenu() { return m_hMenu ? FALSE : Attach(::CreatePopupMenu()); }
BOOL CMenu::CreateMenu() { return m_hMenu ? FALSE : Attach(::CreateMenu()); }

CMenu* CMenu::GetSubMenu(int position) const {
    return m_hMenu ? FromHandle(::GetSubMenu(m_hMenu, position)) : nullptr;
}
int CMenu::GetMenuItemCount() const { return m_hMenu ? ::GetMenuItemCount(m_hMenu) : -1; }
UINT CMenu::GetMenuItemID(int position) const {
    return m_hMenu ? ::GetMenuItemID(m_hMenu, position) : static_cast<UINT>(-1);
}
BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    return m_hMenu ? ::AppendMenuA(m_hMenu, flags, idOrPopup, text) : FALSE;
}
UINT CMenu::CheckMenuItem(UINT idOrPosition, UINT check) {
    return m_hMenu ? ::CheckMenuItem(m_hMenu, idOrPosition, check) : static_cast<UINT>(-1);
}
UINT CMenu::EnableMenuItem(UINT idOrPosition, UINT enable) {
    return m_hMenu ? ::EnableMenuItem(m_hMenu, idOrPosition, enable) : static_cast<UINT>(-1);
}
UINT CMenu::GetMenuState(UINT idOrPosition, UINT flags) const {
    return m_hMenu ? ::GetMenuState(m_hMenu, idOrPosition, flags) : static_cast<UINT>(-1);
}
BOOL CMenu::SetDefaultItem(UINT idOrPosition, BOOL byPosition) {
    return m_hMenu ? ::SetMenuDefaultItem(m_hMenu, idOrPosition, byPosition) : FALSE;
}
UINT CMenu::GetDefaultItem(UINT flags, BOOL byPosition) const {
    return m_hMenu ? ::GetMenuDefaultItem(m_hMenu, byPosition, flags) : static_cast<UINT>(-1);
}
int CMenu::GetMenuString(UINT idOrPosition, LPSTR text, int capacity, UINT flags) const {
    if (text && capacity > 0) text[0] = '\0';
    return m_hMenu && text && capacity > 0 ? ::GetMenuStringA(m_hMenu, idOrPosition, text, capacity, flags)
                                           : 0;
}
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect) const {
    return TrackPopupMenu(flags, x, y, owner ? owner->m_hWnd : nullptr, rect);
}
BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, LPCRECT rect) const {
    return m_hMenu ? ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, rect) : FALSE;
}
