#include <cstring>

#include "ui/XmlDocument.h"

// Names of the controls by identifier - 1000; tooltips and captions are the
// language document's elements of these names, hot keys bind to them.
// Sized by its initialisers, so a missing or extra name fails to compile
// against the declaration.
const char* const ControlNameTable[] = {
    "BTN_RECORD", "EDIT_TAPE", "NA", "BTN_PAUSE", "BTN_STOP",                                 // 1000
    "BTN_EJECT", "BTN_PLAY", "BTN_HELP", "BTN_DETECT", "NA",                                  // 1005
    "BTN_RESET", "BTN_INC", "BTN_DEC", "BTN_SYSMIN", "BTN_SYSCLOSE",                          // 1010
    "BTN_TIMEINC", "BTN_TIMEDEC", "BTN_TIMERESET", "EDIT_TIME", "SLIDER_THRESHOLD",           // 1015
    "BTN_AUTODETECT", "BTN_CLOSEAUDIOBOX", "BTN_LINESOCKET0", "BTN_LINESOCKET1",              // 1020
    "BTN_LINESOCKET2", "BTN_LINESOCKET3", "BTN_LINESOCKET4", "BTN_LINESOCKET5",               // 1024
    "BTN_LINESOCKET6", "BTN_LINESOCKET7", "BTN_LINESOCKET8", "BTN_LINESOCKET9",               // 1028
    "BTN_OK", "BTN_CANCEL", "BTN_HELPBOOK", "NA", "BTN_HOME",                                 // 1032
    "NA", "BTN_MULTIFILE", "BTN_EXIT", "BTN_CONTINUE", "BTN_STARTHELP",                       // 1037
    "NA", "NA", "COMBO_MP3BITRATE", "COMBO_MP3MODE", "BTN_MUSICSET",                          // 1042
    "BTN_SIGNALSET", "BTN_CLOCKSET", "BTN_MP3FILE", "BTN_SIGNALFILE", "BTN_CLOCKFILE",        // 1047
    "COMBO_SIGNALTYPE", "DATETIMEPICKER_START", "DATETIMEPICKER_END", "LIST_TIME",            // 1052
    "BTN_SYSHELP", "BTN_DEFAULT", "BTN_DELETE", "BTN_ADDTIME", "BTN_STEREO",                  // 1056
    "BTN_MONO", "BTN_16BIT", "BTN_8BIT", "NA", "SPIN_NEWFILEDELAY",                           // 1061
    "EDIT_NEWFILEDELAY", "BTN_RECORDINGCTRL", "BTN_SHOWSWITCH", "COMBO_LANGUAGE",             // 1066
    "MONTHCALENDAR1", "NA", "BUTTON_CLEAR", "BTN_TIMESTAMPEDFILE", "NA",                      // 1070
    "NA", "NA", "NA", "NA", "NA",                                                             // 1075
    "NA", "NA", "RADIO_ABSOLUTE", "RADIO_RELATIVE", "NA",                                     // 1080
    "NA", "NA", "NA", "NA", "NA",                                                             // 1085
    "NA", "NA", "NA", "NA", "BTN_SYSTRAY",                                                    // 1090
    "COMBO_MIXER", "LIST_INPUTS", "LIST_INPUTPINS", "LIST_AUDIODEVICE", "LIST_AUDIOLINE", "NA",  // 1095
    "LIST_SCHEDULE", "BTN_ADD", "BTN_CHANGE", "BTN_ABSOLUTE", "BTN_RELATIVE",                 // 1101
    "EDIT_STARTHOUR", "EDIT_STARTMINUTE", "EDIT_STARTSECOND", "EDIT_ENDHOUR",                 // 1106
    "EDIT_ENDMINUTE", "EDIT_ENDSECOND", "BTN_ONTHEDAY", "BTN_AUDIT", "BTN_NOISEGATE",         // 1110
    "BTN_LOWPASS", "BTN_HIGHPASS", "BTN_WAV", "BTN_NOISESETTING", "BTN_EFFECTSETTING",        // 1115
    "BTN_EFFECTAPPLY", "BTN_DEVICE", "BTN_NEWFILE", "BTN_TRACKSPLITTERPAUSE",                 // 1120
    "BTN_TRACKSPLITTERSTOP", "EDIT_THRESHOLD", "EDIT_DELAY", "EDIT2", "EDIT_RELEASETIME",     // 1124
    "EDIT_ATTACKTIME", "EDIT_LOWPASS", "EDIT_HIGHPASS", "EDIT_FILENAME",                      // 1129
    "BTN_MULTIFILE_OUTPUT", "BTN_TIMESTAMPLE_OUTPUT", "BTN_ALERT_OUTPUT", "BTN_BROWSE",       // 1133
    "BTN_ARCHIVE", "BTN_ARCHIVECLOSE", "BTN_EDITID3TAG", "EDIT_TITLE", "EDIT_ARTIST",         // 1137
    "EDIT_YEAR", "EDIT_GENRE", "COMBO_BITRATE", "BTN_CRC", "BTN_ORIGINAL",                    // 1142
    "BTN_COPYRIGHT", "BTN_PRIVATE", "BTN_ID3", "COMBO_STEREOMODE", "COMBO_GENRE",             // 1147
    "CHECK_STREAMINGURL", "EDIT_STREAMINGURL", "EDIT_LOADINGTIME", "SCREEN",                  // 1152
    "EDIT_BACKGROUNDFILE", "BTN_BACKGROUNDLEFT", "BTN_BACKGROUNDRIGHT",                       // 1156
    "BTN_BACKGROUNDLEFTRIGHT", "BTN_RECORDINGLEFT", "BTN_RECORDINGRIGHT",                     // 1159
    "BTN_RECORDINGLEFTRIGHT", "BTN_REMOVE", "BTN_PREVIEW", "BTN_BACKGROUNDSET",               // 1162
    "BTN_BACKGROUNDENABLE", "BTN_REPEAT", "BTN_STOPRECORDING", "BTN_STOPBACKGROUND",          // 1166
    "BTN_WAVFILE", "BTN_WMAFILE", "BTN_WMASET", "EDIT_AUTHOR", "NA",                          // 1170
    "EDIT_PROVIDER", "EDIT_TRACKNUMBER", "EDIT_DISTRIBUTOR", "COMBO_FORMAT",                  // 1175
    "BTN_VOCALLEFT", "BTN_VOCALRIGHT", "BTN_VOCALLEFTRIGHT", "EDIT_FILELOCATION",             // 1179
    "EDIT_ALBUM",                                                                             // 1183
};

int FindControlName(const char* name) {
    if (!name || strcmp(name, "NA") == 0) return -1;
    for (int i = 0; i < ControlNameCount; ++i)
        if (strcmp(ControlNameTable[i], name) == 0) return i;
    return -1;
}
