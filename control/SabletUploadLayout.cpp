#include "control/SabletUploadLayout.h"

#include "control/SabletUploadIds.h"

namespace {

// Hidden in this order when the result page shows. "Public Share" lies
// inside the result text, so it goes with the form.
const int kSabletFormControls[] = {
    IDC_SU_HEADER,      IDC_SU_DESCRIPTION_LABEL, IDC_SU_USERNAME_LABEL, IDC_SU_PASSWORD_LABEL,
    IDC_SU_SEPARATOR,   IDC_SU_TITLE_LABEL,       IDC_SU_TAGS_LABEL,     IDC_SU_CATEGORY_LABEL,
    IDC_SU_HINT,        IDC_SU_UNUSED,            IDC_SU_SITENAME,       IDC_SU_EMAIL_LABEL,
    IDC_SU_MESSAGE_LABEL, IDC_SU_EMAIL,           IDC_SU_MESSAGE,        IDC_SU_DESCRIPTION,
    IDC_SU_USERNAME,    IDC_SU_PASSWORD,          IDC_SU_TITLE,          IDC_SU_TAGS,
    IDC_SU_CATEGORY,    IDC_SU_REMEMBER,          IDC_SU_SENDEMAIL,      IDC_SU_CREATEACCOUNT,
    IDC_SU_UPLOAD,      IDC_SU_PROGRESS,          IDC_SU_PUBLIC,
};

}  // namespace

const UploadDlgLayout kSabletUploadLayout = {
    IDD_SABLET_UPLOAD,
    IDC_SU_HEADER, IDC_SU_SITENAME, IDC_SU_CREATEACCOUNT, IDC_SU_HINT,
    IDC_SU_USERNAME, IDC_SU_PASSWORD, IDC_SU_REMEMBER,
    IDC_SU_TITLE, IDC_SU_TAGS, IDC_SU_CATEGORY, IDC_SU_DESCRIPTION,
    IDC_SU_SENDEMAIL, IDC_SU_EMAIL_LABEL, IDC_SU_EMAIL, IDC_SU_MESSAGE_LABEL, IDC_SU_MESSAGE,
    IDC_SU_PROGRESS, IDC_SU_UPLOAD,
    IDC_SU_RESULT_HEADER, IDC_SU_RESULT, IDC_SU_COPY,
    IDC_SU_PUBLIC, IDC_SU_INSERT,
    kSabletFormControls, sizeof kSabletFormControls / sizeof kSabletFormControls[0],
    true,
};
