#include "control/SabletUploadLayout.h"

#include "control/SabletUploadIds.h"

const UploadDlgLayout kSabletUploadLayout =
    UPLOAD_DLG_LAYOUT(IDC_SU_, IDD_SABLET_UPLOAD, IDC_SU_PUBLIC, IDC_SU_INSERT, true);
