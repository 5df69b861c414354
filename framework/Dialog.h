// CDialog: a window built from a dialog template of the program's resources.
//
// DoModal creates it, disables the owner and runs our own message loop
// until EndDialog; every message goes through PreTranslateMessage of the
// window it is for and of its parents first (CDialog's own does the dialog
// keyboard handling), so a dialog can take keys before its controls see
// them. DoModal returns what EndDialog was given (-1 when the template is
// missing or the window cannot be made). Create makes a modeless dialog
// that the caller ends with DestroyWindow.
//
// OnInitDialog runs on WM_INITDIALOG (call the base first: it runs
// DoDataExchange with DDX_Control bindings); OnOK ends with IDOK, OnCancel
// with IDCANCEL (also reached by Escape and by WM_CLOSE).
#pragma once

#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds `control` to the dialog's control `id` (subclassing it) once.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(LPCSTR templateName, CWnd* parent = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL Create(LPCSTR templateName, CWnd* parent = nullptr);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Modal: the loop ends after the current message and DoModal returns
    // `result`. Modeless: the window is hidden.
    void EndDialog(int result);
    // A modal dialog's end was asked for (a close, Exit, Escape) and its
    // loop ends after the message being handled: a nested loop such as a
    // message box's may still be running when it comes.
    bool EndRequested() const { return m_inModalLoop && m_endModal; }

    BOOL PreTranslateMessage(MSG* msg) override;
    virtual void DoDataExchange(CDataExchange* dx);
    // save TRUE: controls to members; FALSE: members to controls.
    BOOL UpdateData(BOOL save = TRUE);

    // Where the template and the dialog's other resources come from
    // (default: AfxGetResourceHandle()).
    HINSTANCE m_hResource = nullptr;

protected:
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);

    LPCSTR m_lpszTemplateName = nullptr;  // a MAKEINTRESOURCE or a copy in m_templateName
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    BOOL CreateFromTemplate(HWND owner);
    CString m_templateName;
    int m_nModalResult = -1;
    bool m_inModalLoop = false;
    bool m_endModal = false;
};
