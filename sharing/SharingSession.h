// All protocol state of one upload (host information, login reply, cookie
// fields, the form's values) and the exchanges with the sharing service.
// The upload dialogs derive from it, so their members are these.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "sharing/HostInfo.h"

// How one press of Upload ended; the dialog turns it into its message.
enum class ShareResult {
    LoginFailed,    // no user name, or the service refused the user
    ServiceUnavailable,  // the login got no answer, or an error status (5xx ...)
    UploadFailed,   // sending failed, or the service's reply named no usable file
    FileMissing,    // the recording could not be opened
    DebugReply,     // the service answered with a diagnostic text (in `text`)
    Refused,        // the service refused the file (FILEID=NULL)
    DetailsFailed,  // uploaded, but the details post got no message back
    Shared,         // done; `text` is the service's message
};

struct ShareOutcome {
    ShareResult result = ShareResult::LoginFailed;
    std::string text;
    bool deleteSent = false;  // the service was asked to drop this login's file
};

class SharingSession : public HostInfo {
public:
    SharingSession();
    virtual ~SharingSession() = default;

    // Fetches the host information from the first host that answers with a
    // login address (the second host is asked when the first fails or its
    // reply names none) and parses it. An empty ValidateURL afterwards means
    // the service is not available.
    void RequestHostInfo();
    // The same with other host-information addresses.
    void RequestHostInfoFrom(const char* const* urls, size_t count);

    // Logs UserName/Password in at ValidateURL. True when the service
    // accepted the user (UserID not 0); then SN grows by one and the login
    // cookie is written in the form `remember` chooses. LoginAnswered()
    // then tells a refusal from a service that gave no answer.
    bool LoginToService(bool remember);
    // Whether the last login request got a complete answer with a success
    // status (false also when no request was made).
    bool LoginAnswered() const { return loginAnswered_; }

    // Reads the login cookie of UploadSite into UserName, Password and SN.
    void LoadLoginCookie();

    // Uploads `path` to UploadSite/UploadScript. 1: sent, `reply` holds the
    // service's answer; 0: failed (reply holds the error text, or is empty);
    // -1: the file could not be opened (nothing was sent).
    int UploadFile(const char* path, char* reply, size_t capacity);

    // The file id text the service gave in an upload reply ("" when the
    // reply has none): behind "FILEID=" to the end of the reply, without
    // the line ends that close it.
    static std::string UploadedFileId(const char* uploadReply);
    // An id that names a file: not empty, printable ASCII without blank,
    // quote, "<", ">" or "&". Anything else (an empty id, a warning page
    // behind it, markup) goes back into the service's page and the message.
    static bool IsUsableFileId(const std::string& id);
    // The details form of an upload: with or without the e-mail fields.
    std::string BuildUploadDetails(const char* uploadReply, bool sendEmail,
                                   const SYSTEMTIME& localNow) const;
    // Posts the details to PostUploadURL. Returns HttpRequest's result.
    int PostUploadDetails(const char* uploadReply, bool sendEmail, char* reply, size_t capacity);
    // Asks the service to drop the file of this login. Only a real file id
    // (above 0) is sent; false when nothing was posted or the post failed.
    bool PostDeleteRequest();

    // Login, upload of FilePath, then the details post, or the delete
    // request when the upload failed. The form's values must be in the
    // members already.
    ShareOutcome ShareFile(bool remember, bool sendEmail);

    // Login reply.
    int32_t UserID = 0;
    int32_t FileID = 0;
    char IP[50];
    char Ref[128];
    // Counter carried in the cookie, shown after the proposed title.
    int32_t SN = 1;
    char UserName[128];
    char Password[128];
    char EmailAddress[128];
    int32_t Category = -1;
    char FilePath[256];

protected:
    // Text the details form starts with (the web control's dialog names its
    // page's options there); nothing for the program.
    virtual std::string UploadDetailsPrefix() const { return ""; }
    // Upload progress: Begin once before the first byte, then 0..100.
    virtual void UploadProgressBegin() {}
    virtual void UploadProgress(int /*percent*/) {}

private:
    std::string CookieUrl() const;

    bool loginAnswered_ = false;
};
