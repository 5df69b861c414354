// The application object: reads the command line, runs the main window as
// a modal dialog and ends the process when it closes.
#pragma once

#include "framework/App.h"

class CVelorinApp : public CWinApp {
public:
    CVelorinApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CVelorinApp theApp;
