// The about box: the face with the program's version written into it and
// one OK button. OK, Enter and Esc all close it.
#pragma once

#include "dialogs/SkinDialog.h"

class CDlgAbout : public CSkinDialog {
public:
    explicit CDlgAbout(CWnd* parent = nullptr);

    // Set by the caller before the dialog runs ("RL 5.2").
    char VersionText[32] = "";

protected:
    void DrawFace(HDC dc) override;
};
