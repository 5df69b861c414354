#include "dialogs/Mp3Dlg.h"

#include "dialogs/DialogIds.h"
#include "dialogs/GenreList.h"
#include "framework/SafeString.h"

namespace {

const SkinFrame kMp3Frame{nullptr, 0, 485, 332, "IDR_MP3FACE", {271, 296}, {381, 296}};

const char* const kFlagNames[5] = {"CRC", "Original", "Copyright", "Private", "ID3"};
const POINT kFlagPlaces[5] = {{57, 102}, {173, 102}, {263, 102}, {361, 102}, {57, 131}};
const int kTagBoxes[] = {IDC_MP3_ARTIST, IDC_MP3_ALBUM, IDC_MP3_TITLE, IDC_MP3_YEAR, IDC_GENRE};

const char* const kBitrates[] = {"Default", "8",  "16",  "24",  "32",  "40",  "48",  "64",
                                 "80",      "96", "112", "128", "160", "192", "256", "320"};
const char* const kModes[] = {"Default", "Mono", "Stereo"};

// Tag texts are 30 characters, the year 4: what the ID3v1 block holds.
constexpr int kTextChars = 30;
constexpr int kYearChars = 4;

void FillList(HWND list, const char* const* texts, int count) {
    for (int i = 0; i < count; ++i)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
}

}  // namespace

BEGIN_MESSAGE_MAP(CDLGMP3, CSkinDialog)
    ON_COMMAND_RANGE(IDC_MP3_CRC, IDC_MP3_PRIVATE, OnFlag)
    ON_COMMAND(IDC_MP3_ID3, OnId3)
END_MESSAGE_MAP()

CDLGMP3::CDLGMP3(CWnd* parent) : CSkinDialog(IDD_MP3SETTINGS, kMp3Frame, parent) {}

BOOL CDLGMP3::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    for (int i = 0; i < 5; ++i)
        CreateSkinButton(CheckBoxes[i], "IDR_BTNCHECKBOX", IDC_MP3_CRC + i, kFlagPlaces[i].x,
                         kFlagPlaces[i].y, 17, 12, CUniButton::kCheckFaces);

    PlaceControl(IDC_MP3_BITRATE, 142, 61, 68, 17, 290);  // every rate without a scroll bar
    PlaceControl(IDC_MP3_MODE, 338, 61, 80, 17, 80);
    PlaceControl(IDC_MP3_ARTIST, 232, 137, 203, 17);
    PlaceControl(IDC_MP3_ALBUM, 232, 165, 203, 17);
    PlaceControl(IDC_MP3_TITLE, 232, 191, 203, 17);
    PlaceControl(IDC_MP3_YEAR, 232, 217, 48, 18);
    PlaceControl(IDC_GENRE, 331, 217, 104, 18);
    // The tag keeps four digits of the year; the box takes no more.
    SendDlgItemMessage(IDC_MP3_YEAR, EM_LIMITTEXT, kYearChars);
    HWND bitrates = ::GetDlgItem(m_hWnd, IDC_MP3_BITRATE);
    HWND modes = ::GetDlgItem(m_hWnd, IDC_MP3_MODE);
    HWND genres = ::GetDlgItem(m_hWnd, IDC_GENRE);
    FillList(bitrates, kBitrates, 16);
    FillList(modes, kModes, 3);
    FillGenreList(genres);

    if (InTagMode()) {
        for (CUniButton& box : CheckBoxes) ::EnableWindow(box.GetSafeHwnd(), FALSE);
        // Bitrate and mode play no part in one file's tag.
        ::EnableWindow(bitrates, FALSE);
        ::EnableWindow(modes, FALSE);
        SetDlgItemText(IDC_MP3_ARTIST, TagRecord->author);
        SetDlgItemText(IDC_MP3_ALBUM, TagRecord->album);
        SetDlgItemText(IDC_MP3_TITLE, TagRecord->title);
        SetDlgItemText(IDC_MP3_YEAR, TagRecord->description);
        SelectGenre(genres, FindGenre(TagRecord->genre));
        return TRUE;
    }

    for (int i = 0; i < 5; ++i) {
        int value = 0;
        Store.ReadDword(kFlagNames[i], &value);
        CheckBoxes[i].checked = value != 0;
    }
    EnableTagBoxes(CheckBoxes[4].checked != 0);
    DWORD value = 0;
    Store.ReadMP3Mode(&value);
    MP3Mode = static_cast<int32_t>(value);
    Store.ReadMP3Bitrate(&value);
    MP3Bitrate = static_cast<int32_t>(value);
    ::SendMessageA(bitrates, CB_SETCURSEL, MP3Bitrate, 0);
    ::SendMessageA(modes, CB_SETCURSEL, MP3Mode, 0);
    char text[1024];
    static const struct {
        int id;
        const char* name;
    } kTexts[] = {{IDC_MP3_ARTIST, "Artist"}, {IDC_MP3_ALBUM, "Album"}, {IDC_MP3_TITLE, "Title"},
                  {IDC_MP3_YEAR, "Year"}};
    for (const auto& t : kTexts) {
        Store.ReadString(t.name, text);
        SetDlgItemText(t.id, text);
    }
    SelectGenre(genres, Store.ReadSetting("Genre"));
    return TRUE;
}

void CDLGMP3::EnableTagBoxes(bool enable) {
    for (int id : kTagBoxes) ::EnableWindow(::GetDlgItem(m_hWnd, id), enable);
}

void CDLGMP3::OnFlag(UINT id) {
    CUniButton& box = CheckBoxes[id - IDC_MP3_CRC];
    SetButtonChecked(box, !box.checked);
}

void CDLGMP3::OnId3() {
    CUniButton& box = CheckBoxes[4];
    SetButtonChecked(box, !box.checked);
    EnableTagBoxes(box.checked != 0);
}

void CDLGMP3::OnOkButton() {
    if (InTagMode()) {
        SaveTag();
        CloseOk();
        return;
    }
    CloseOkIfStored(SaveSettings());
}

bool CDLGMP3::SaveSettings() {
    int stored = 1;
    for (int i = 0; i < 5; ++i) stored &= Store.WriteDword(kFlagNames[i], CheckBoxes[i].checked ? 1 : 0);
    // A list without a selection keeps what was read.
    LRESULT bitrate = SendDlgItemMessage(IDC_MP3_BITRATE, CB_GETCURSEL);
    if (bitrate != CB_ERR) MP3Bitrate = static_cast<int32_t>(bitrate);
    LRESULT mode = SendDlgItemMessage(IDC_MP3_MODE, CB_GETCURSEL);
    if (mode != CB_ERR) MP3Mode = static_cast<int32_t>(mode);
    stored &= Store.WriteMP3Bitrate(static_cast<DWORD>(MP3Bitrate));
    stored &= Store.WriteMP3Mode(static_cast<DWORD>(MP3Mode));

    char text[kTextChars + 1];
    GetDlgItemText(IDC_MP3_ARTIST, text, sizeof text);
    stored &= Store.WriteString("Artist", text);
    GetDlgItemText(IDC_MP3_ALBUM, text, sizeof text);
    stored &= Store.WriteString("Album", text);
    GetDlgItemText(IDC_MP3_TITLE, text, sizeof text);
    stored &= Store.WriteString("Title", text);
    GetDlgItemText(IDC_MP3_YEAR, text, kYearChars + 1);
    stored &= Store.WriteString("Year", text);

    int genre = ReadGenreSelection(::GetDlgItem(m_hWnd, IDC_GENRE));
    if (genre >= 0) stored &= Store.WriteDword("Genre", static_cast<DWORD>(genre));
    return stored != 0;
}

void CDLGMP3::SaveTag() {
    char text[kTextChars + 1];
    GetDlgItemText(IDC_MP3_ARTIST, text, sizeof text);
    SafeCopy(TagRecord->author, text);
    GetDlgItemText(IDC_MP3_ALBUM, text, sizeof text);
    SafeCopy(TagRecord->album, text);
    GetDlgItemText(IDC_MP3_TITLE, text, sizeof text);
    SafeCopy(TagRecord->title, text);
    GetDlgItemText(IDC_MP3_YEAR, text, kYearChars + 1);
    SafeCopy(TagRecord->description, text);
    // No selection (an empty or unlisted genre came in): the record keeps its own.
    char name[32];
    int genre = ReadGenreSelection(::GetDlgItem(m_hWnd, IDC_GENRE), name, sizeof name);
    if (genre >= 0) {
        SafeCopy(TagRecord->genre, name);
        TagRecord->genreNumber = static_cast<BYTE>(genre);
    }
}
