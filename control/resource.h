// Resource identifiers of Sablet.dll.
#pragma once

#define IDS_PROJNAME 100
#define IDB_SABLET2 102
#define IDR_SABLET2 103
#define IDD_SABLET2 104
#define IDS_TITLESabletProp 105
#define IDS_HELPFILESabletProp 106
#define IDS_DOCSTRINGSabletProp 107
#define IDR_SABLETPROP 108
#define IDD_SABLETPROP 109
#define IDD_MP3SETTING 202
#define IDD_RECORDINGPARAMS 204
#define IDR_UPLOADMENU 207
#define IDR_HISTORYMENU 208

// Controls of the panel (dialog 104).
#define IDC_PLAY 201
#define IDC_AUDIOSOURCE 202
#define IDC_RECORD 203
#define IDC_STOP 204
#define IDC_PAUSE 210
#define IDC_POSITION 211
#define IDC_VOLUME 212
#define IDC_CONFIG 213
#define IDC_UPLOAD 214
#define IDC_ADPICTURE 224
#define IDC_ETCHEDLINE 259
#define IDC_TIMEFRAME 260
#define IDC_POWEREDBY 261
#define IDC_AUDIOSOURCELABEL 262
#define IDC_VOLUMELABEL 263
#define IDC_BACKWARD 264
#define IDC_FORWARD 265
#define IDC_GO 266
#define IDC_REFRESH 267
#define IDC_BROWSERSTOP 268
#define IDC_ADDRESS 269
#define IDC_HISTORY 270

// Controls of the recording parameters dialog (204) and the pages (109, 202).
#define IDC_FREQUENCY 206
#define IDC_BITS 207
#define IDC_PAGECHANNEL 208
#define IDC_MP3FREQUENCY 215
#define IDC_MP3BITRATELIST 216
#define IDC_MP3CHANNEL 217
#define IDC_WAV 218
#define IDC_MP3 219
#define IDC_BITRATE 222
#define IDC_CHANNEL 223

// Commands of the Upload menu (207).
#define IDM_UPLOAD_RECORDING 32768
#define IDM_EXPORT_RECORDING 32769
