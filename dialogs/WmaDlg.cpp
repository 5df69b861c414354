#include "dialogs/WmaDlg.h"

#include "dialogs/DialogIds.h"
#include "dialogs/GenreList.h"
#include "framework/SafeString.h"

namespace {

const SkinFrame kWmaFrame{nullptr, 0, 485, 332, "IDR_WMAFACE", {271, 296}, {381, 296}};

// The six texts: edit, registry value, and the record's field.
struct WmaText {
    int id;
    const char* name;
    char (MediaTagRecord::*field)[127];
};
const WmaText kTexts[6] = {
    {IDC_WMA_ARTIST, "WMAArtist", &MediaTagRecord::author},
    {IDC_WMA_TITLE, "WMATitle", &MediaTagRecord::title},
    {IDC_WMA_ALBUM, "WMAAlbum", &MediaTagRecord::album},
    {IDC_WMA_COMPOSER, "WMAComposer", &MediaTagRecord::composer},
    {IDC_WMA_COPYRIGHT, "WMACopyright", &MediaTagRecord::copyright},
    {IDC_WMA_DESCRIPTION, "WMADescription", &MediaTagRecord::description},
};

// Header texts are taken up to 126 characters.
constexpr int kTextChars = 126;

}  // namespace

BEGIN_MESSAGE_MAP(CDLGWMA, CSkinDialog)
    ON_WM_TIMER()
    ON_MESSAGE(CDLGWMA::kFillProfiles, OnFillProfiles)
END_MESSAGE_MAP()

CDLGWMA::CDLGWMA(CWnd* parent) : CSkinDialog(IDD_WMASETTINGS, kWmaFrame, parent) {}

BOOL CDLGWMA::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    PlaceControl(IDC_WMA_ARTIST, 100, 52, 133, 17);
    PlaceControl(IDC_WMA_TITLE, 295, 52, 163, 17);
    PlaceControl(IDC_WMA_ALBUM, 100, 89, 133, 17);
    PlaceControl(IDC_GENRE, 295, 89, 163, 17);
    PlaceControl(IDC_WMA_COMPOSER, 100, 126, 133, 17);
    PlaceControl(IDC_WMA_COPYRIGHT, 316, 126, 142, 17);
    PlaceControl(IDC_WMA_DESCRIPTION, 100, 163, 358, 17);
    PlaceControl(IDC_WMA_FORMAT, 100, 200, 358, 17, 120);
    HWND genres = ::GetDlgItem(m_hWnd, IDC_GENRE);
    FillGenreList(genres);

    if (InTagMode()) {
        ::EnableWindow(::GetDlgItem(m_hWnd, IDC_WMA_FORMAT), FALSE);
        for (const WmaText& t : kTexts) SetDlgItemText(t.id, TagRecord->*t.field);
        SelectGenre(genres, FindGenre(TagRecord->genre));
    } else {
        char text[1024];
        for (const WmaText& t : kTexts) {
            Store.ReadString(t.name, text);
            SetDlgItemText(t.id, text);
        }
        // A stored number outside the genres selects nothing and is kept.
        int genre = 0;
        Store.ReadDword("WMAGenre", &genre);
        SelectGenre(genres, GenreSelection(genre));
    }
    SetTimer(kFillTimer, 50);
    return TRUE;
}

void CDLGWMA::OnTimer(UINT_PTR id) {
    if (id != kFillTimer) return CSkinDialog::OnTimer(id);
    KillTimer(kFillTimer);
    PostMessage(kFillProfiles, 0, 0);
}

LRESULT CDLGWMA::OnFillProfiles(WPARAM, LPARAM) {
    HWND list = ::GetDlgItem(m_hWnd, IDC_WMA_FORMAT);
    if (!list) return 0;
    ListWmaProfiles(list);
    const LRESULT count = ::SendMessageA(list, CB_GETCOUNT, 0, 0);
    if (count <= 0 || count == CB_ERR) return 0;
    ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    int format = -1;
    Store.ReadDword("WMAFormat", &format);
    for (LRESULT i = 0; i < count; ++i) {
        if (::SendMessageA(list, CB_GETITEMDATA, i, 0) == format) {
            ::SendMessageA(list, CB_SETCURSEL, i, 0);
            break;
        }
    }
    return 0;
}

void CDLGWMA::OnOkButton() {
    char text[kTextChars + 1];
    HWND genres = ::GetDlgItem(m_hWnd, IDC_GENRE);
    char genreName[32];
    const int genre = ReadGenreSelection(genres, genreName, sizeof genreName);
    if (InTagMode()) {
        for (const WmaText& t : kTexts) {
            GetDlgItemText(t.id, text, sizeof text);
            SafeCopy(TagRecord->*t.field, text);
        }
        // No selection (an empty or unlisted genre came in): the record keeps its own.
        if (genre >= 0) SafeCopy(TagRecord->genre, genreName);
        CloseOk();
        return;
    }
    int stored = 1;
    for (const WmaText& t : kTexts) {
        GetDlgItemText(t.id, text, sizeof text);
        stored &= Store.WriteString(t.name, text);
    }
    // A list without a selection keeps the stored value: the genre one that
    // came in out of range, the profile one before its list has filled.
    if (genre >= 0) stored &= Store.WriteDword("WMAGenre", static_cast<DWORD>(genre));
    const LRESULT profile = SendDlgItemMessage(IDC_WMA_FORMAT, CB_GETCURSEL);
    if (profile != CB_ERR) {
        const LRESULT number = SendDlgItemMessage(IDC_WMA_FORMAT, CB_GETITEMDATA, profile);
        if (number != CB_ERR) stored &= Store.WriteDword("WMAFormat", static_cast<DWORD>(number));
    }
    CloseOkIfStored(stored != 0);
}
