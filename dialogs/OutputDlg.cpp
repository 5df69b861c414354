#include "dialogs/OutputDlg.h"

#include <cstring>
#include <string>

#include "dialogs/DialogIds.h"
#include "dialogs/OutputName.h"
#include "framework/SafeString.h"
#include "ui/PathDialog.h"

namespace {

const SkinFrame kFrame{nullptr, 0, 485, 332, "IDR_OUTPUTFACE", {271, 296}, {381, 296}};

const char* const kFormatLetters[3] = {"WAV", "MP3", "WMA"};
const UINT kFormatIds[3] = {IDC_FORMAT_WAV, IDC_FORMAT_MP3, IDC_FORMAT_WMA};
const int kFormatX[3] = {261, 330, 396};

// The whole text: a stored name longer than the box takes by typing must
// be refused whole, not stored cut.
std::string EditText(HWND dialog, int id) {
    HWND edit = ::GetDlgItem(dialog, id);
    std::string text(edit ? ::GetWindowTextLengthA(edit) + 1 : 1, '\0');
    if (edit) ::GetWindowTextA(edit, &text[0], static_cast<int>(text.size()));
    text.resize(strlen(text.c_str()));
    return text;
}

// The levels below "\\server\share\": the share itself is not ours to make.
// Stops at the first level that cannot be made; the recording's start
// reports the folder then.
void MakeNetworkLevels(const std::string& folder) {
    size_t at = folder.find('\\', 2);                            // after the server
    if (at != std::string::npos) at = folder.find('\\', at + 1);  // after the share
    while (at != std::string::npos) {
        const size_t next = folder.find('\\', at + 1);
        if (next == std::string::npos) break;
        const std::string level = folder.substr(0, next);
        if (!::CreateDirectoryA(level.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
        at = next;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(COutputDlg, CSkinDialog)
    ON_COMMAND(IDC_BROWSE, OnBtnBrowse)
    ON_COMMAND(IDC_FORMAT_WAV, OnRadioWav)
    ON_COMMAND(IDC_FORMAT_MP3, OnRadioMp3)
    ON_COMMAND(IDC_FORMAT_WMA, OnRadioWma)
    ON_COMMAND(IDC_OUTPUT_MULTIFILE, OnCheckMultiFile)
    ON_COMMAND(IDC_OUTPUT_TIMESTAMPED, OnCheckTimeStamped)
    ON_COMMAND(IDC_OUTPUT_ALERT, OnCheckAlert)
END_MESSAGE_MAP()

COutputDlg::COutputDlg(CWnd* parent) : CSkinDialog(IDD_OUTPUT, kFrame, parent) {}

BOOL COutputDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SettingsStore store;
    CreateButtons();
    // One line high inside the face's wells, so the text sits in their middle.
    PlaceControl(IDC_OUTPUT_NAME, 120, 47, 130, 15);
    PlaceControl(IDC_OUTPUT_FOLDER, 120, 77, 254, 15);
    // The recording start builds its paths in 256-byte buffers.
    ::SendDlgItemMessageA(m_hWnd, IDC_OUTPUT_NAME, EM_LIMITTEXT, kOutputEditMax, 0);
    ::SendDlgItemMessageA(m_hWnd, IDC_OUTPUT_FOLDER, EM_LIMITTEXT, kOutputEditMax, 0);

    char lastName[1000] = "";
    store.ReadLastName(lastName);
    std::string folder, name;
    SplitLastName(lastName, &folder, &name);
    const int format = FormatOfName(name);
    if (format >= 0) CheckFormat(format);
    SetDlgItemText(IDC_OUTPUT_NAME, name.c_str());
    SetDlgItemText(IDC_OUTPUT_FOLDER, folder.c_str());

    DWORD multi = 0, stamped = 0;
    store.ReadBtnMultiFileStatus(&multi);
    store.ReadBtnTimeStampedStatus(&stamped);
    int alert = 1;  // a first start asks before overwriting
    store.ReadDword("Alert", &alert);
    SetButtonChecked(MultiFileBox, multi != 0);
    SetButtonChecked(TimeStampedBox, stamped != 0);
    SetButtonChecked(AlertBox, alert != 0);
    return TRUE;
}

void COutputDlg::CreateButtons() {
    CreateSkinButton(BrowseButton, "IDR_BTNBROWSE", IDC_BROWSE, 384, 73, 72, 24, CUniButton::kResourceFaces);
    CreateSkinButton(MultiFileBox, "IDR_BTNCHECKBOX", IDC_OUTPUT_MULTIFILE, 31, 112, 17, 12,
                     CUniButton::kCheckFaces);
    CreateSkinButton(TimeStampedBox, "IDR_BTNCHECKBOX", IDC_OUTPUT_TIMESTAMPED, 31, 176, 17, 12,
                     CUniButton::kCheckFaces);
    CreateSkinButton(AlertBox, "IDR_BTNCHECKBOX", IDC_OUTPUT_ALERT, 31, 236, 17, 12, CUniButton::kCheckFaces);
    for (int i = 0; i < 3; ++i)
        CreateSkinButton(FormatRadios[i], "IDR_BTNRADIO", kFormatIds[i], kFormatX[i], 43, 19, 19,
                         CUniButton::kCheckFaces);
}

void COutputDlg::CheckFormat(int index) {
    for (int i = 0; i < 3; ++i) SetButtonChecked(FormatRadios[i], i == index);
}

void COutputDlg::ChooseFormat(int index) {
    if (FormatRadios[index].checked) return;
    std::string name = EditText(m_hWnd, IDC_OUTPUT_NAME);
    if (!ApplyFormatToName(&name, kFormatLetters[index])) {
        ShowBox("The file name is too long to take another extension.");
        return;
    }
    SetDlgItemText(IDC_OUTPUT_NAME, name.c_str());
    CheckFormat(index);
}

void COutputDlg::OnRadioWav() { ChooseFormat(0); }
void COutputDlg::OnRadioMp3() { ChooseFormat(1); }
void COutputDlg::OnRadioWma() { ChooseFormat(2); }

// Time-stamped names are a form of multiple files: the two boxes move
// together where one would contradict the other.
void COutputDlg::OnCheckMultiFile() {
    const bool on = !MultiFileBox.checked;
    SetButtonChecked(MultiFileBox, on);
    if (!on && TimeStampedBox.checked) SetButtonChecked(TimeStampedBox, false);
}

void COutputDlg::OnCheckTimeStamped() {
    const bool on = !TimeStampedBox.checked;
    SetButtonChecked(TimeStampedBox, on);
    if (on && !MultiFileBox.checked) SetButtonChecked(MultiFileBox, true);
}

void COutputDlg::OnCheckAlert() { SetButtonChecked(AlertBox, !AlertBox.checked); }

void COutputDlg::OnBtnBrowse() {
    const std::string folder = EditText(m_hWnd, IDC_OUTPUT_FOLDER);
    CPathDialog dialog("Select a Folder", "Select a Folder", folder.c_str(),
                       BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT, this);
    if (dialog.DoModal() == 1) SetDlgItemText(IDC_OUTPUT_FOLDER, dialog.GetPathName());
}

bool COutputDlg::MakeFolder(const char* folder) {
    if (!folder[0] || ::GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES) return true;
    if (strchr(folder, ':')) {
        // Every level of the whole text, blanks and other characters included.
        char text[400];
        switch (CPathDialog::CheckFolder(folder, true)) {
        case 0:
            return true;
        case 1:
            SafeFormat(text, "The folder:\n\n%s\n\nis invalid. Please reenter.", folder);
            break;
        default:
            SafeFormat(text, "The folder:\n\n%s\n\ncan not be created. Please double check.", folder);
            break;
        }
        ShowBox(text);
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_OUTPUT_FOLDER));
        return false;
    }
    if (folder[0] == '\\' && folder[1] == '\\') MakeNetworkLevels(folder);
    // A relative folder is taken as typed.
    return true;
}

void COutputDlg::OnOkButton() {
    std::string folder, path;
    switch (JoinOutputPath(EditText(m_hWnd, IDC_OUTPUT_FOLDER), EditText(m_hWnd, IDC_OUTPUT_NAME), &folder,
                           &path)) {
    case OutputPathCheck::Ok:
        break;
    case OutputPathCheck::FolderTooLong:
        ShowBox("The folder is too long: it may have at most 243 characters.");
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_OUTPUT_FOLDER));
        return;
    case OutputPathCheck::PathTooLong:
        ShowBox("The folder and the file name are too long together: they may have at most 255 "
                "characters.");
        ::SetFocus(::GetDlgItem(m_hWnd, IDC_OUTPUT_NAME));
        return;
    }
    // "nul.wav" and the like are devices: a recording there keeps nothing.
    if (RefuseDeviceName(path.c_str(), IDC_OUTPUT_NAME, ": a recording would be lost. Please choose another name."))
        return;
    if (!MakeFolder(folder.c_str())) return;

    SettingsStore store;
    int stored = 1;
    stored &= store.WriteBtnTimeStampedStatus(TimeStampedBox.checked ? 1 : 0);
    stored &= store.WriteBtnMultiFileStatus(MultiFileBox.checked ? 1 : 0);
    stored &= store.WriteDword("Alert", AlertBox.checked ? 1 : 0);
    stored &= store.WriteLastName(path.c_str());
    CloseOkIfStored(stored != 0);
}
