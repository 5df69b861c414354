#include "app/VelorinApp.h"

#include "app/VelorinDlg.h"
#include "app/CommandLine.h"

#include <commctrl.h>

CVelorinApp theApp;

BEGIN_MESSAGE_MAP(CVelorinApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CVelorinApp::CVelorinApp() : CWinApp("Velorin") {}

BOOL CVelorinApp::InitInstance() {
    AfxEnableControlContainer();
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    ParseCommandLine(m_lpCmdLine, &CommandLineOptions);
    {
        CVelorinDlg dialog;
        m_pMainWnd = &dialog;
        dialog.DoModal();
    }
    m_pMainWnd = nullptr;
    return FALSE;
}
