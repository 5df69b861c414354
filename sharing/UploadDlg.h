// The dialog through which the user uploads one recording: connectivity
// check and host information first, then the form, login, upload with its
// progress bar, details, and the result page with its copy button.
#pragma once

#include <windows.h>

#include "sharing/SharingSession.h"

// Where the dialog's controls are: the program's template, or one built from
// the same controls under other ids (the web control's), with its extras.
struct UploadDlgLayout {
    int Template;
    int Header, SiteName, CreateAccount, Hint;
    int UserName, Password, Remember;
    int Title, Tags, Category, Description;
    int SendEmail, EmailLabel, Email, MessageLabel, Message;
    int Progress, Upload;
    int ResultHeader, Result, Copy;
    // Labels of the form, only ever hidden with it.
    int DescriptionLabel, UserNameLabel, PasswordLabel, Separator, TitleLabel, TagsLabel, CategoryLabel, Spare;
    // Extras of the control's template; 0 where there are none.
    int PublicShare;     // check box: the upload's isPublic
    int InsertIntoPost;  // button of the result page: the result into the page
    // The details form starts with the Option and EmbedTag fields.
    bool OptionFields;
};

// A layout whose control ids are the prefix followed by the control's name
// (IDC_UP_HEADER, ...), as both templates name them.
#define UPLOAD_DLG_LAYOUT(prefix, templateId, publicShare, insertIntoPost, optionFields)                     \
    {                                                                                                         \
        templateId, prefix##HEADER, prefix##SITENAME, prefix##CREATEACCOUNT, prefix##HINT, prefix##USERNAME,  \
            prefix##PASSWORD, prefix##REMEMBER, prefix##TITLE, prefix##TAGS, prefix##CATEGORY,                \
            prefix##DESCRIPTION, prefix##SENDEMAIL, prefix##EMAIL_LABEL, prefix##EMAIL, prefix##MESSAGE_LABEL, \
            prefix##MESSAGE, prefix##PROGRESS, prefix##UPLOAD, prefix##RESULT_HEADER, prefix##RESULT,         \
            prefix##COPY, prefix##DESCRIPTION_LABEL, prefix##USERNAME_LABEL, prefix##PASSWORD_LABEL,          \
            prefix##SEPARATOR, prefix##TITLE_LABEL, prefix##TAGS_LABEL, prefix##CATEGORY_LABEL,               \
            prefix##UNUSED3, publicShare, insertIntoPost, optionFields                                       \
    }

// The program's template (sharing/UploadDlg.rc).
extern const UploadDlgLayout kProgramUploadLayout;

class CUploadDlg : public SharingSession {
public:
    explicit CUploadDlg(const UploadDlgLayout& layout = kProgramUploadLayout);
    ~CUploadDlg() override = default;
    CUploadDlg(const CUploadDlg&) = delete;
    CUploadDlg& operator=(const CUploadDlg&) = delete;

    // The recording to upload. False (and StartUpload then only says the
    // file does not exist) when the path does not fit FilePath.
    bool SetFilePath(const char* path);

    // Ping, host information, then the dialog; or the message that says
    // why not.
    void StartUpload();
    // Runs the dialog modally; IDCANCEL when it closes.
    INT_PTR DoModal();
    void ShowUploadResult();

    // Owner of the dialog and its message boxes (the main window).
    HWND Owner = nullptr;
    HWND m_hWnd = nullptr;

    // Opens an address in the browser: the user's default browser unless
    // replaced (the control sets its own); null: "Create account" does nothing.
    using BrowserOpener = void (*)(const char* address);
    static void SetBrowserOpener(BrowserOpener opener);

    // Who takes the result text on "Insert into post" (the owning control);
    // without one the button does nothing.
    using PostInserter = void (*)(void* owner, const char* text);
    void SetPostInserter(PostInserter inserter, void* owner);

    // The page's values the control's details form starts with.
    char Option[256];
    char EmbedTag[128];

protected:
    virtual BOOL OnInitDialog();
    virtual void OnCancel();
    void OnUpload();
    void OnCheckSendEmail();
    void OnBtnCreateAccount();
    void OnBtnCopyToClipboard();
    void OnInsertIntoPost();

    void UploadProgressBegin() override;
    void UploadProgress(int percent) override;
    std::string UploadDetailsPrefix() const override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int Message(const char* text, const char* caption);
    void ReadForm();
    void EnableEmailControls(BOOL on);
    void FillCategories();

    const UploadDlgLayout& layout_;
    PostInserter inserter_ = nullptr;
    void* inserterOwner_ = nullptr;
    bool pathTooLong_ = false;
    bool resultShown_ = false;
};
