#include "framework/App.h"

#include "framework/Internal.h"
#include "framework/SafeString.h"

namespace {
CWinApp* g_app = nullptr;         // the one application object
HINSTANCE g_resources = nullptr;  // set by a DLL; else the program
int g_quitCode = 0;
}  // namespace

struct AppAccess {
    static bool Running(CWinApp* app) { return app->running_; }
    static void SetRunning(CWinApp* app, bool running) { app->running_ = running; }
};

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName) {
    g_app = this;
    if (appName) {
        appName_ = appName;
    } else if (!appName_.LoadString(AFX_IDS_APP_TITLE)) {
        // The program's file name without folder and extension.
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, sizeof path);
        CString name(path);
        name = name.Mid(name.ReverseFind('\\') + 1);
        int dot = name.ReverseFind('.');
        appName_ = dot > 0 ? name.Left(dot) : name;
    }
    m_pszAppName = appName_.GetString();
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
    AppAccess::SetRunning(this, true);
    {
        LoopScope loop;
        int quitCode = 0;
        while (PumpOneMessage(&quitCode)) {
        }
        g_quitCode = quitCode;
    }
    AppAccess::SetRunning(this, false);
    return ExitInstance();
}

int CWinApp::ExitInstance() { return g_quitCode; }

BOOL CWinApp::PreTranslateMessage(MSG*) { return FALSE; }

HICON CWinApp::LoadIcon(UINT id) const { return LoadIcon(MAKEINTRESOURCEA(id)); }
HICON CWinApp::LoadIcon(LPCSTR name) const { return ::LoadIconA(AfxGetResourceHandle(), name); }
HCURSOR CWinApp::LoadCursor(UINT id) const { return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)); }
HICON CWinApp::LoadStandardIcon(LPCSTR name) const { return ::LoadIconA(nullptr, name); }

// The program ships no help file of the old kind; its help commands open
// their own pages.
void CWinApp::OnHelp() {}

void AppWindowGone(CWnd* wnd) {
    if (g_app && g_app->m_pMainWnd == wnd) {
        g_app->m_pMainWnd = nullptr;
        if (AppAccess::Running(g_app)) PostQuitMessage(0);
    }
}

bool AppLoopRunning() { return g_app && AppAccess::Running(g_app); }

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleA(nullptr);
}
HINSTANCE AfxGetResourceHandle() { return g_resources ? g_resources : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE module) { g_resources = module; }

LPCSTR AfxGetAppName() {
    if (g_app && g_app->m_pszAppName) return g_app->m_pszAppName;
    static char name[MAX_PATH];
    if (!name[0]) {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, sizeof path);
        const char* base = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/') base = p + 1;
        SafeCopy(name, base);
        for (char* p = name + lstrlenA(name); p > name; --p) {
            if (*(p - 1) == '.') {
                *(p - 1) = '\0';
                break;
            }
        }
    }
    return name;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT) {
    HWND owner = GetActiveWindow();
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        owner = main ? main->m_hWnd : nullptr;
    }
    return MessageBoxA(owner, text ? text : "", AfxGetAppName(), type);
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId) {
    CString text;
    text.LoadString(textId);
    return AfxMessageBox(text.GetString(), type, helpId);
}

void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmdLine;
    app->m_nCmdShow = cmdShow;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

// Lives beside CWinApp's constructor, so any program that defines an
// application object links it in ahead of the runtime's own search.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow) {
    return AfxWinMain(instance, previous, cmdLine, cmdShow);
}
