// Shown once, on the first start: the program's version, and the choice to
// leave or to continue with or without finding the line that carries the
// computer's own playback. The caller reads Result afterwards.
#pragma once

#include <cstdint>

#include "dialogs/SkinDialog.h"

class CDLGStartup : public CSkinDialog {
public:
    explicit CDLGStartup(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    // Set by the caller before the dialog runs ("RL 5.2").
    char VersionText[32] = "";
    // 0 leave the program, 1 continue and test the lines, 2 continue
    // without the test. A dialog closed any other way (Esc, Alt+F4, no
    // template) continues without the test.
    int32_t Result = 2;

protected:
    // Enter chooses nothing: only Exit and Continue decide.
    void OnOkButton() override {}
    void DrawFace(HDC dc) override;

    afx_msg void OnRadioNow();
    afx_msg void OnRadioLater();
    afx_msg void OnBtnHelp();
    afx_msg void OnBtnExit();
    afx_msg void OnBtnContinue();

    CUniButton HelpButton, ExitButton, ContinueButton, NowRadio, LaterRadio;

    DECLARE_MESSAGE_MAP()
};

// Draws a version text in white, centred on x at y, over the face.
void DrawVersionText(HDC dc, const char* text, int x, int y);
