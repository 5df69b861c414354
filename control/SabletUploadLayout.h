// The control's upload dialog: the program's CUploadDlg over template 206.
#pragma once

#include "sharing/UploadDlg.h"

extern const UploadDlgLayout kSabletUploadLayout;
