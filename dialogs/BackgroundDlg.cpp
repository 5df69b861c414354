#include "dialogs/BackgroundDlg.h"

#include <cstdio>

#include "dialogs/DialogIds.h"
#include "framework/FileDialog.h"
#include "framework/SafeString.h"

namespace {

const SkinFrame kBackgroundFrame{nullptr, 0, 485, 332, "IDR_BACKGROUND", {271, 296}, {381, 296}};

const char kFileFilter[] =
    "All Files(*.*)|*.*|MP3 Files (*.mp3)|*.mp3|WAV File ( *.wav)|*.WAV|WMA File ( *.wma)|*.wma||";

const RECT kBackgroundShare{198, 96, 227, 113};
const RECT kRecordingShare{290, 96, 319, 113};
const COLORREF kValueBox = 0x63656B;

}  // namespace

// Three radio buttons, the value each stands for and where they sit.
struct CDLGBackground::Group {
    UINT ids[3];
    int values[3];
    POINT places[3];
};

const CDLGBackground::Group CDLGBackground::kGroups[4] = {
    {{IDC_BG_CHANNEL_LEFT, IDC_BG_CHANNEL_RIGHT, IDC_BG_CHANNEL_BOTH}, {1, 2, 0},
     {{213, 130}, {283, 130}, {351, 130}}},
    {{IDC_REC_CHANNEL_LEFT, IDC_REC_CHANNEL_RIGHT, IDC_REC_CHANNEL_BOTH}, {1, 2, 0},
     {{213, 160}, {283, 160}, {351, 160}}},
    {{IDC_BG_REPEAT, IDC_BG_STOP_RECORDING, IDC_BG_STOP_BACKGROUND}, {0, 1, 2},
     {{106, 209}, {212, 209}, {351, 209}}},
    {{IDC_VOCAL_LEFT, IDC_VOCAL_RIGHT, IDC_VOCAL_BOTH}, {1, 2, 0},
     {{106, 262}, {212, 262}, {351, 262}}},
};

BEGIN_MESSAGE_MAP(CDLGBackground, CSkinDialog)
    ON_COMMAND_RANGE(IDC_BG_CHANNEL_LEFT, IDC_REC_CHANNEL_BOTH, OnRadio)
    ON_COMMAND_RANGE(IDC_BG_REPEAT, IDC_BG_STOP_BACKGROUND, OnRadio)
    ON_COMMAND_RANGE(IDC_VOCAL_LEFT, IDC_VOCAL_BOTH, OnRadio)
    ON_COMMAND_RANGE(IDC_BG_REMOVE_VOICE, IDC_BG_PREVIEW, OnCheck)
    ON_COMMAND(IDC_BROWSE, OnBrowse)
END_MESSAGE_MAP()

CDLGBackground::CDLGBackground(CWnd* parent)
    : CSkinDialog(IDD_BACKGROUND, kBackgroundFrame, parent) {}

int* CDLGBackground::GroupValue(int group) {
    int* values[4] = {&BackgroundChannel, &RecordingChannel, &BackgroundAction, &VocalChannel};
    return values[group];
}

CUniButton* CDLGBackground::Button(UINT id) {
    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            if (kGroups[g].ids[k] == id) return &Radios[g * 3 + k];
    return nullptr;
}

BOOL CDLGBackground::OnInitDialog() {
    Store.ReadDword("Background Scale", &Scale);
    Store.ReadDword("Background Channel", &BackgroundChannel);
    Store.ReadDword("Recording Channel", &RecordingChannel);
    Store.ReadDword("Vocal Channel", &VocalChannel);
    Store.ReadDword("Remove Voice", &RemoveVoice);
    Store.ReadDword("Background Enable Preview", &EnablePreview);
    Store.ReadDword("Background Action", &BackgroundAction);
    Store.ReadString("Background File", BackgroundFile);

    CSkinDialog::OnInitDialog();
    CreateSkinButton(BrowseButton, "IDR_BTNBROWSE", IDC_BROWSE, 389, 57, 72, 24,
                     CUniButton::kResourceFaces);
    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            CreateSkinButton(Radios[g * 3 + k], "IDR_BTNRADIO", kGroups[g].ids[k],
                             kGroups[g].places[k].x, kGroups[g].places[k].y, 19, 19,
                             CUniButton::kCheckFaces);
    CreateSkinButton(RemoveVoiceBox, "IDR_BTNCHECKBOX", IDC_BG_REMOVE_VOICE, 26, 244, 17, 12,
                     CUniButton::kCheckFaces);
    CreateSkinButton(PreviewBox, "IDR_BTNCHECKBOX", IDC_BG_PREVIEW, 26, 300, 17, 12,
                     CUniButton::kCheckFaces);

    PlaceControl(IDC_BG_FILE, 130, 60, 247, 18);
    // The engine keeps 255 characters; typing stops there.
    SendDlgItemMessage(IDC_BG_FILE, EM_LIMITTEXT, kMaxFileChars);
    SetDlgItemText(IDC_BG_FILE, BackgroundFile);

    Balance.Create(m_hWnd, 228, 96, 289, 113, 1, 100, "IDR_SLIDERBALANCE", "IDR_THUMB2", 232, 283);
    Balance.SetPos(100 - Scale);
    AddSlider(&Balance);

    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            if (kGroups[g].values[k] == *GroupValue(g)) OnRadio(kGroups[g].ids[k]);
    RemoveVoiceBox.checked = RemoveVoice != 0;
    PreviewBox.checked = EnablePreview != 0;
    return TRUE;
}

void CDLGBackground::OnRadio(UINT id) {
    CUniButton* pressed = Button(id);
    if (!pressed || pressed->checked) return;
    for (const Group& group : kGroups) {
        bool inGroup = false;
        for (UINT member : group.ids) inGroup |= member == id;
        if (!inGroup) continue;
        for (UINT member : group.ids) SetButtonChecked(*Button(member), member == id);
    }
}

void CDLGBackground::OnCheck(UINT id) {
    CUniButton& box = id == IDC_BG_REMOVE_VOICE ? RemoveVoiceBox : PreviewBox;
    SetButtonChecked(box, !box.checked);
}

void CDLGBackground::OnBrowse() {
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, kFileFilter, this);
    INT_PTR result = dialog.DoModal();
    if (result == -1) {
        ShowBox(dialog.ErrorText());
        return;
    }
    if (result != IDOK) return;
    CString path = dialog.GetPathName();
    if (path.GetLength() > kMaxFileChars) {
        char text[200];
        SafeFormat(text, "The path of this file is %d characters long; a background file's path can "
                         "have at most %d. Move or rename the file and choose it again.",
                   path.GetLength(), kMaxFileChars);
        ShowBox(text);
        return;
    }
    SetDlgItemText(IDC_BG_FILE, path);
}

void CDLGBackground::OnSliderMoved(CSkinSlider* slider) {
    Scale = 100 - slider->GetPos();
    InvalidateRect(&kBackgroundShare, FALSE);
    InvalidateRect(&kRecordingShare, FALSE);
}

void CDLGBackground::DrawFace(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const struct {
        RECT box;
        int value;
    } shares[] = {{kBackgroundShare, Scale}, {kRecordingShare, 100 - Scale}};
    for (const auto& share : shares) {
        RECT box = share.box;
        SetBkColor(dc, kValueBox);
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
        char text[8];
        snprintf(text, sizeof text, "%d%%", share.value);
        DrawTextA(dc, text, -1, &box, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
}

void CDLGBackground::OnOkButton() {
    Scale = 100 - Balance.GetPos();
    char file[kMaxFileChars + 1];
    GetDlgItemText(IDC_BG_FILE, file, sizeof file);
    // The player would open the device and wait on it for ever.
    if (RefuseDeviceName(file, IDC_BG_FILE, ". Please choose a sound file.")) return;
    SafeCopy(BackgroundFile, file);
    for (int g = 0; g < 4; ++g)
        for (int k = 0; k < 3; ++k)
            if (Radios[g * 3 + k].checked) *GroupValue(g) = kGroups[g].values[k];
    RemoveVoice = RemoveVoiceBox.checked ? 1 : 0;
    EnablePreview = PreviewBox.checked ? 1 : 0;
    int stored = 1;
    stored &= Store.WriteDword("Background Scale", static_cast<DWORD>(Scale));
    stored &= Store.WriteDword("Background Channel", static_cast<DWORD>(BackgroundChannel));
    stored &= Store.WriteDword("Recording Channel", static_cast<DWORD>(RecordingChannel));
    stored &= Store.WriteDword("Vocal Channel", static_cast<DWORD>(VocalChannel));
    stored &= Store.WriteDword("Background Action", static_cast<DWORD>(BackgroundAction));
    stored &= Store.WriteDword("Remove Voice", static_cast<DWORD>(RemoveVoice));
    stored &= Store.WriteDword("Background Enable Preview", static_cast<DWORD>(EnablePreview));
    stored &= Store.WriteString("Background File", BackgroundFile);
    CloseOkIfStored(stored != 0);
}
