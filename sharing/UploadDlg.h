// The dialog through which the user uploads one recording: connectivity
// check and host information first, then the form, login, upload with its
// progress bar, details, and the result page with its copy button.
#pragma once

#include <windows.h>

#include "sharing/SharingSession.h"

class CUploadDlg : public SharingSession {
public:
    CUploadDlg();
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

protected:
    virtual BOOL OnInitDialog();
    virtual void OnCancel();
    void OnUpload();
    void OnCheckSendEmail();
    void OnBtnCreateAccount();
    void OnBtnCopyToClipboard();

    void UploadProgressBegin() override;
    void UploadProgress(int percent) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    int Message(const char* text, const char* caption);
    void ReadForm();
    void FillCategories();

    bool pathTooLong_ = false;
    bool resultShown_ = false;
};
