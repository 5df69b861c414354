// The upload form's logic that needs no window: the category list, the
// form check, the texts the dialog shows for each outcome, and what may be
// handed to the browser.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sharing/SharingSession.h"

struct CategoryEntry {
    int32_t id;
    std::string name;
};
// Entries "id-name|" in order; parsing stops at the first entry without its
// "|" or without a "-" inside it. Names are cut to 255 characters.
std::vector<CategoryEntry> ParseCategoryList(const char* list);

// The form check: one line (ending in "\n") per failed rule, "" when all
// hold.
std::string CheckUploadForm(const char* userName, const char* password, const char* title,
                            bool sendEmail, const char* emailAddress);

// The proposed title: "%s %04d" of the default title and SN.
std::string ProposedTitle(const char* defaultTitle, int32_t sn);

// Lone LF become CRLF (a multi-line edit shows a bare LF as nothing).
std::string ToCrLf(const std::string& text);

// Only plain web addresses go to the browser's command line: "http://" or
// "https://", and no blank, quote or control character that would split
// or extend the command.
bool IsOpenableAddress(const char* address);

struct OutcomeMessage {
    std::string text;     // "" when the result page is shown instead
    std::string caption;  // "" for the program's title
};
OutcomeMessage MessageFor(const ShareOutcome& outcome);

// Texts of the dialog and its checks, as the user sees them.
extern const char kAppTitle[];
extern const char kNoConnectionText[];
extern const char kServiceUnavailableText[];
extern const char kFormCheckCaption[];
extern const char kFileMissingText[];
extern const char kUploadFailedText[];
