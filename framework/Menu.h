// CMenu: owner of one menu handle (DestroyMenu in its destructor unless it
// came from FromHandle or was detached). GetSubMenu hands out a temporary
// wrapper of the pop-up, valid until the message loop next goes idle; the
// pop-up itself belongs to the menu it sits in.
#pragma once

#include <windows.h>

class CWnd;

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    CMenu(CMenu&& other) noexcept;
    CMenu& operator=(CMenu&& other) noexcept;

    HMENU m_hMenu = nullptr;

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU menu);

    BOOL Attach(HMENU menu);   // FALSE when one is already held
    HMENU Detach();
    BOOL DestroyMenu();        // FALSE when nothing was held

    // From the resource module (AfxGetResourceHandle()); FALSE when the
    // resource is missing.
    BOOL LoadMenu(UINT id);
    BOOL LoadMenu(LPCSTR name);
    BOOL CreatePopupMenu();
    BOOL CreateMenu();

    CMenu* GetSubMenu(int position) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    BOOL AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, LPCSTR text = nullptr);
    UINT CheckMenuItem(UINT idOrPosition, UINT check);
    UINT EnableMenuItem(UINT idOrPosition, UINT enable);
    UINT GetMenuState(UINT idOrPosition, UINT flags) const;
    BOOL SetDefaultItem(UINT idOrPosition, BOOL byPosition = FALSE);
    UINT GetDefaultItem(UINT flags, BOOL byPosition = FALSE) const;
    int GetMenuString(UINT idOrPosition, LPSTR text, int capacity, UINT flags) const;
    // Shows the pop-up at screen (x, y); commands go to `owner`. With
    // TPM_RETURNCMD the chosen command is returned instead.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr) const;
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, LPCRECT rect = nullptr) const;

private:
    bool owned_ = true;  // false for FromHandle wrappers
    friend struct MenuTemp;
};
