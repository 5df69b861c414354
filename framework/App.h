// CWinApp: the program's one application object. Define it as a global
//
//   class CVelorinApp : public CWinApp { BOOL InitInstance() override; ... };
//   CVelorinApp theApp;
//
// and the framework's WinMain (linked in with CWinApp) finds it: it fills
// m_hInstance, m_lpCmdLine (the text after the program path) and
// m_nCmdShow, calls InitInstance, and when that returns TRUE runs the
// message loop (Run) until WM_QUIT. A dialog program runs its main dialog
// with DoModal inside InitInstance and returns FALSE; WinMain then returns
// ExitInstance's code. m_pMainWnd is cleared when that window is destroyed.
#pragma once

#include "framework/Wnd.h"

// The title's string resource; without it the program's file name is used.
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    // The application's look at every message of Run's loop after the
    // windows' own PreTranslateMessage chain.
    virtual BOOL PreTranslateMessage(MSG* msg);

    HICON LoadIcon(UINT id) const;
    HICON LoadIcon(LPCSTR name) const;
    HCURSOR LoadCursor(UINT id) const;
    HICON LoadStandardIcon(LPCSTR name) const;

    afx_msg void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    CString appName_;
    bool running_ = false;
    friend struct AppAccess;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Module whose resources templates, bitmaps and strings come from (the
// program by default; a DLL sets its own).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
LPCSTR AfxGetAppName();
// Message box owned by the active window of this thread (or the main
// window) with the application's title.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = 0);
// The program's dialogs hold no ActiveX controls: nothing to set up, kept
// so start-up reads as it is meant to.
void AfxEnableControlContainer();
// What WinMain runs; callable from tests.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);
