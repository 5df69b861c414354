// The program's icon in the notification area, with its tip and menu.
//
// The owner fills m_tnd (its window, the icon identifier, the callback
// message), loads the menu whose first pop-up the icon shows into m_menu,
// points m_checkFlag at its own flag for item 32774, then calls SetIcon. It
// forwards the callback message to OnTrayNotification and the
// "TaskbarCreated" message (TaskbarCreatedMessage) to OnTaskbarCreated, so
// the icon comes back after the shell restarts.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/Menu.h"
#include "framework/MessageMap.h"

constexpr UINT kTrayCheckedCommand = 32774;

class CTrayIcon : public CCmdTarget {
public:
    CTrayIcon();
    ~CTrayIcon() override;  // removes the icon when one is shown

    // id non-zero: the icon and the tip (string resource, at most 127
    // characters) of that identifier, added when none is shown, else
    // changed; an icon that cannot be loaded removes a shown one. id 0:
    // removes the icon. Returns Shell_NotifyIcon's answer; 1 when there was
    // nothing to remove, 0 when there was nothing to show.
    BOOL SetIcon(UINT id);
    // Only for our identifier, and only right button up (the menu at the
    // pointer, its first item the default) and double click (the first
    // item's command to the owner), and only with a menu; 1 then, else 0.
    virtual LRESULT OnTrayNotification(WPARAM id, LPARAM mouseMessage);
    // Adds the icon again after the shell came back; FALSE when none is shown.
    BOOL OnTaskbarCreated();
    static UINT TaskbarCreatedMessage();

    bool IsShown() const { return shown_; }

    // Filled by the owner; cbSize is preset to a size every shell since
    // Windows 2000 accepts.
    NOTIFYICONDATAA m_tnd;
    // The menu whose first pop-up is shown (loaded by the owner).
    CMenu m_menu;
    // The owner's flag for the check mark of item 32774 (read at menu time).
    const bool* m_checkFlag = nullptr;

private:
    BOOL Notify(DWORD message);
    // A modal window of the owner's is open: bring it forward instead.
    bool OwnerBusy() const;

    bool shown_ = false;
};
