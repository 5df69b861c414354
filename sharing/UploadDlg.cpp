#include "sharing/UploadDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sharing/PingHost.h"
#include "sharing/ReplyText.h"
#include "sharing/UploadDlgIds.h"
#include "sharing/UploadForm.h"
#include "ui/BrowserLauncher.h"

using sharing::CopyBounded;

namespace {

// The program's default browser; the control replaces it with its own.
void OpenInDefaultBrowser(const char* address) {
    if (HANDLE process = OpenUrlInBrowser(address)) CloseHandle(process);
}

CUploadDlg::BrowserOpener g_browserOpener = OpenInDefaultBrowser;  // UI thread only

HINSTANCE ModuleOfThisCode() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<const char*>(&ModuleOfThisCode), &module);
    return module;
}

// ---- fitting the template's texts to the font ---------------------------------

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The extent of a label's text in its own font: one line, or wrapped at
// whole words within `width` when it is above 0.
SIZE LabelTextSize(HWND label, int width) {
    SIZE size{};
    char text[512] = "";
    GetWindowTextA(label, text, sizeof text);
    HDC dc = GetDC(label);
    if (!dc) return size;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT box{0, 0, width > 0 ? width : 0, 0};
    DrawTextA(dc, text, -1, &box, DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    size.cx = box.right - box.left;
    size.cy = box.bottom - box.top;
    return size;
}

// The template was laid out for a narrower font than some systems have. A
// label that would be cut grows to its text: `label` in width, pushing the
// left edge of `follower` (the text that continues its sentence) along and
// keeping its right edge; `wrapped` in height, taking the lines its words
// need at its width.
void FitLabels(HWND dialog, int label, int follower, int wrapped) {
    if (HWND h = GetDlgItem(dialog, label)) {
        const RECT r = ChildRect(h);
        const LONG need = LabelTextSize(h, 0).cx;
        if (need > r.right - r.left) {
            MoveWindow(h, r.left, r.top, need, r.bottom - r.top, FALSE);
            if (HWND f = GetDlgItem(dialog, follower)) {
                const RECT fr = ChildRect(f);
                const LONG left = std::max(fr.left, r.left + need);
                MoveWindow(f, left, fr.top, std::max(0L, fr.right - left), fr.bottom - fr.top, FALSE);
            }
        }
    }
    if (HWND h = GetDlgItem(dialog, wrapped)) {
        const RECT r = ChildRect(h);
        const LONG need = LabelTextSize(h, r.right - r.left).cy;
        if (need > r.bottom - r.top) MoveWindow(h, r.left, r.top, r.right - r.left, need, FALSE);
    }
}

// Owner of a global memory block until the clipboard takes it.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T size) : h_(GlobalAlloc(GMEM_MOVEABLE, size)) {}
    ~GlobalBlock() {
        if (h_) GlobalFree(h_);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL Get() const { return h_; }
    HGLOBAL Release() {
        HGLOBAL h = h_;
        h_ = nullptr;
        return h;
    }

private:
    HGLOBAL h_;
};

class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession() {
        if (open_) CloseClipboard();
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

// Controls of the form page, hidden in this order on the result page.
// "Public Share" lies inside the result text, so it goes with the form.
const int UploadDlgLayout::* const kFormControls[] = {
    &UploadDlgLayout::Header,        &UploadDlgLayout::DescriptionLabel, &UploadDlgLayout::UserNameLabel,
    &UploadDlgLayout::PasswordLabel, &UploadDlgLayout::Separator,        &UploadDlgLayout::TitleLabel,
    &UploadDlgLayout::TagsLabel,     &UploadDlgLayout::CategoryLabel,    &UploadDlgLayout::Hint,
    &UploadDlgLayout::Spare,         &UploadDlgLayout::SiteName,         &UploadDlgLayout::EmailLabel,
    &UploadDlgLayout::MessageLabel,  &UploadDlgLayout::Email,            &UploadDlgLayout::Message,
    &UploadDlgLayout::Description,   &UploadDlgLayout::UserName,         &UploadDlgLayout::Password,
    &UploadDlgLayout::Title,         &UploadDlgLayout::Tags,             &UploadDlgLayout::Category,
    &UploadDlgLayout::Remember,      &UploadDlgLayout::SendEmail,        &UploadDlgLayout::CreateAccount,
    &UploadDlgLayout::Upload,        &UploadDlgLayout::Progress,         &UploadDlgLayout::PublicShare,
};

// The result text handed to the page is cut here.
constexpr int kInsertTextLimit = 3999;

}  // namespace

const UploadDlgLayout kProgramUploadLayout = UPLOAD_DLG_LAYOUT(IDC_UP_, IDD_UPLOAD, 0, 0, false);

void CUploadDlg::SetBrowserOpener(BrowserOpener opener) { g_browserOpener = opener; }

CUploadDlg::CUploadDlg(const UploadDlgLayout& layout) : layout_(layout) {
    Option[0] = '\0';
    EmbedTag[0] = '\0';
}

void CUploadDlg::SetPostInserter(PostInserter inserter, void* owner) {
    inserter_ = inserter;
    inserterOwner_ = owner;
}

bool CUploadDlg::SetFilePath(const char* path) {
    if (!path || strlen(path) >= sizeof FilePath) {
        FilePath[0] = '\0';
        pathTooLong_ = true;
        return false;
    }
    CopyBounded(FilePath, path);
    pathTooLong_ = false;
    return true;
}

int CUploadDlg::Message(const char* text, const char* caption) {
    HWND owner = m_hWnd ? m_hWnd : Owner;
    return MessageBoxA(owner, text, caption && *caption ? caption : kAppTitle, MB_OK);
}

void CUploadDlg::StartUpload() {
    // A path that did not fit would name another file: nothing to log in for.
    if (pathTooLong_) {
        Message(kFileMissingText, nullptr);
        return;
    }
    PingReply reply;
    // The echo goes to loopback, so only a refused raw socket makes it fail
    // for an ordinary user; the host-information request tells more.
    if (!PingHost(&reply) && GetLastError() != WSAEACCES) {
        Message(kNoConnectionText, nullptr);
        return;
    }
    RequestHostInfo();
    if (ValidateURL[0])
        DoModal();
    else
        Message(kServiceUnavailableText, nullptr);
}

INT_PTR CUploadDlg::DoModal() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    resultShown_ = false;
    return DialogBoxParamA(ModuleOfThisCode(), MAKEINTRESOURCEA(layout_.Template), Owner, &CUploadDlg::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CUploadDlg::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CUploadDlg* self = nullptr;
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        self = reinterpret_cast<CUploadDlg*>(lParam);
        self->m_hWnd = hwnd;
        return self->OnInitDialog();
    }
    self = reinterpret_cast<CUploadDlg*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    switch (msg) {
    case WM_COMMAND: {
        const UploadDlgLayout& l = self->layout_;
        int id = LOWORD(wParam);
        if (id == IDCANCEL) self->OnCancel();
        else if (id == l.Upload) self->OnUpload();
        else if (id == l.SendEmail) self->OnCheckSendEmail();
        else if (id == l.CreateAccount) self->OnBtnCreateAccount();
        else if (id == l.Copy) self->OnBtnCopyToClipboard();
        else if (l.InsertIntoPost && id == l.InsertIntoPost) self->OnInsertIntoPost();
        else return FALSE;
        return TRUE;
    }
    case WM_DESTROY:
        self->m_hWnd = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void CUploadDlg::EnableEmailControls(BOOL on) {
    const UploadDlgLayout& l = layout_;
    for (int id : {l.EmailLabel, l.MessageLabel, l.Email, l.Message}) EnableWindow(GetDlgItem(m_hWnd, id), on);
}

BOOL CUploadDlg::OnInitDialog() {
    const UploadDlgLayout& l = layout_;
    FitLabels(m_hWnd, l.Header, l.SiteName, l.Hint);
    EnableEmailControls(FALSE);
    // The members hold 99 and 999 characters: say so before the user types more.
    for (int id : {l.UserName, l.Password, l.Title, l.Tags, l.Email})
        SendDlgItemMessageA(m_hWnd, id, EM_LIMITTEXT, 99, 0);
    for (int id : {l.Description, l.Message}) SendDlgItemMessageA(m_hWnd, id, EM_LIMITTEXT, 999, 0);

    LoadLoginCookie();
    CheckDlgButton(m_hWnd, l.Remember, UserName[0] ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(m_hWnd, l.Message, DefaultEmailContent);
    SetDlgItemTextA(m_hWnd, l.Description, DefaultDescription);
    SetDlgItemTextA(m_hWnd, l.UserName, UserName);
    SetDlgItemTextA(m_hWnd, l.Password, Password);
    SetDlgItemTextA(m_hWnd, l.Title, ProposedTitle(DefaultTitle, SN).c_str());
    SetDlgItemTextA(m_hWnd, l.Tags, DefaultTags);
    SetDlgItemTextA(m_hWnd, l.SiteName, SiteName);
    // The service's proposal decides; only an explicit "off" clears the box.
    if (l.PublicShare)
        CheckDlgButton(m_hWnd, l.PublicShare, strcmp(DefaultIsPublic, "off") ? BST_CHECKED : BST_UNCHECKED);
    FillCategories();
    SendDlgItemMessageA(m_hWnd, l.Progress, PBM_SETRANGE32, 0, 100);
    return TRUE;
}

void CUploadDlg::FillCategories() {
    HWND list = GetDlgItem(m_hWnd, layout_.Category);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    LRESULT last = CB_ERR;
    for (const CategoryEntry& e : ParseCategoryList(CategoryList)) {
        LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.name.c_str()));
        if (index < 0) break;
        SendMessageA(list, CB_SETITEMDATA, index, static_cast<LPARAM>(e.id));
        last = index;
    }
    if (last != CB_ERR) SendMessageA(list, CB_SETCURSEL, last, 0);
}

void CUploadDlg::OnCancel() { EndDialog(m_hWnd, IDCANCEL); }

void CUploadDlg::OnCheckSendEmail() {
    EnableEmailControls(IsDlgButtonChecked(m_hWnd, layout_.SendEmail) == BST_CHECKED);
}

void CUploadDlg::ReadForm() {
    char text[1000];
    auto read = [&](int id, char* to, size_t capacity, int limit) {
        GetDlgItemTextA(m_hWnd, id, text, limit + 1);
        CopyBounded(to, capacity, text);
    };
    const UploadDlgLayout& l = layout_;
    read(l.UserName, UserName, sizeof UserName, 99);
    read(l.Password, Password, sizeof Password, 99);
    read(l.Title, DefaultTitle, sizeof DefaultTitle, 99);
    read(l.Tags, DefaultTags, sizeof DefaultTags, 99);
    read(l.Email, EmailAddress, sizeof EmailAddress, 99);
    read(l.Description, DefaultDescription, sizeof DefaultDescription, 999);
    read(l.Message, DefaultEmailContent, sizeof DefaultEmailContent, 999);
    LRESULT selected = SendDlgItemMessageA(m_hWnd, l.Category, CB_GETCURSEL, 0, 0);
    Category = selected == CB_ERR
                   ? -1
                   : static_cast<int32_t>(SendDlgItemMessageA(m_hWnd, l.Category, CB_GETITEMDATA, selected, 0));
}

void CUploadDlg::OnUpload() {
    // Enter on the result page reaches the hidden default button: one
    // upload per dialog result is enough.
    if (resultShown_) return;
    ReadForm();
    const UploadDlgLayout& l = layout_;
    bool sendEmail = IsDlgButtonChecked(m_hWnd, l.SendEmail) == BST_CHECKED;
    std::string problems = CheckUploadForm(UserName, Password, DefaultTitle, sendEmail, EmailAddress);
    if (!problems.empty()) {
        Message(problems.c_str(), kFormCheckCaption);
        return;
    }
    if (l.PublicShare)
        CopyBounded(DefaultIsPublic, IsDlgButtonChecked(m_hWnd, l.PublicShare) == BST_CHECKED ? "on" : "off");
    EnableWindow(GetDlgItem(m_hWnd, l.Upload), FALSE);
    EnableWindow(GetDlgItem(m_hWnd, IDCANCEL), FALSE);

    bool remember = IsDlgButtonChecked(m_hWnd, l.Remember) == BST_CHECKED;
    ShareOutcome outcome = ShareFile(remember, sendEmail);
    if (outcome.result == ShareResult::Shared) {
        ShowUploadResult();
        SetDlgItemTextA(m_hWnd, l.Result, ToCrLf(outcome.text).c_str());
        // The control's page gets the answer without a second click.
        if (l.InsertIntoPost) OnInsertIntoPost();
    } else {
        OutcomeMessage m = MessageFor(outcome);
        Message(m.text.c_str(), m.caption.c_str());
    }
    if (!resultShown_) EnableWindow(GetDlgItem(m_hWnd, l.Upload), TRUE);
    EnableWindow(GetDlgItem(m_hWnd, IDCANCEL), TRUE);
}

void CUploadDlg::ShowUploadResult() {
    resultShown_ = true;
    const UploadDlgLayout& l = layout_;
    for (const auto member : kFormControls) {
        if (!(l.*member)) continue;
        HWND control = GetDlgItem(m_hWnd, l.*member);
        EnableWindow(control, FALSE);
        ShowWindow(control, SW_HIDE);
    }
    SetDlgItemTextA(m_hWnd, IDCANCEL, "Close");
    for (int id : {l.Result, l.Copy, l.InsertIntoPost, l.ResultHeader}) {
        if (!id) continue;
        HWND control = GetDlgItem(m_hWnd, id);
        EnableWindow(control, TRUE);
        ShowWindow(control, SW_SHOW);
    }
    // Close becomes the button Enter presses.
    SendMessageA(m_hWnd, DM_SETDEFID, IDCANCEL, 0);
}

void CUploadDlg::OnBtnCreateAccount() {
    if (g_browserOpener && IsOpenableAddress(TessalyURL)) g_browserOpener(TessalyURL);
}

void CUploadDlg::OnBtnCopyToClipboard() {
    HWND edit = GetDlgItem(m_hWnd, layout_.Result);
    int length = GetWindowTextLengthA(edit);
    std::vector<char> text(static_cast<size_t>(length) + 1);
    GetWindowTextA(edit, text.data(), length + 1);
    text[length] = '\0';
    ClipboardSession clipboard(m_hWnd);
    if (!clipboard.Open()) return;
    EmptyClipboard();
    GlobalBlock block(text.size());
    if (!block.Get()) return;
    void* to = GlobalLock(block.Get());
    if (!to) return;
    memcpy(to, text.data(), text.size());
    GlobalUnlock(block.Get());
    // Only a block the clipboard took is the clipboard's to free.
    if (SetClipboardData(CF_TEXT, block.Get())) block.Release();
}

void CUploadDlg::OnInsertIntoPost() {
    if (!inserter_) return;
    char text[kInsertTextLimit + 1];
    GetDlgItemTextA(m_hWnd, layout_.Result, text, sizeof text);
    inserter_(inserterOwner_, text);
}

std::string CUploadDlg::UploadDetailsPrefix() const {
    if (!layout_.OptionFields) return "";
    return "Option=" + sharing::EncodeFormValue(Option) + "&EmbedTag=" + sharing::EncodeFormValue(EmbedTag) + "&";
}

void CUploadDlg::UploadProgressBegin() {
    HWND bar = GetDlgItem(m_hWnd, layout_.Progress);
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    UpdateWindow(bar);
}

void CUploadDlg::UploadProgress(int percent) {
    HWND bar = GetDlgItem(m_hWnd, layout_.Progress);
    SendMessageA(bar, PBM_SETPOS, percent, 0);
    // No messages are pumped while the upload runs: paint now.
    UpdateWindow(bar);
}
