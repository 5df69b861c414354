// The English language document and the hot-key document that stand in
// when no file is found. One line each, no line breaks, as the files are
// searched by plain tag text; no '&', '<' or '>' inside texts.
#include "ui/XmlDocument.h"

#define CONTROL(name, text) "<" #name ">" text "</" #name ">"
#define LINE1(text) "<Line1>" text "</Line1>"
#define LINE2(text) "<Line2>" text "</Line2>"
#define LINE3(text) "<Line3>" text "</Line3>"
#define BLOCK(name, lines) "<" #name ">" lines "</" #name ">"

const char BuiltInLanguageDocument[] =
    "<?xml version=\"1.0\"?>"
    "<VOLMARK>"
    "<LanguageName>English</LanguageName>"
    "<Controls>"
    CONTROL(BTN_RECORD, "Record")
    CONTROL(EDIT_TAPE, "Output file")
    CONTROL(BTN_PAUSE, "Pause")
    CONTROL(BTN_STOP, "Stop")
    CONTROL(BTN_EJECT, "Choose the output file")
    CONTROL(BTN_PLAY, "Play")
    CONTROL(BTN_HELP, "Help")
    CONTROL(BTN_DETECT, "Find the recording line")
    CONTROL(BTN_SYSMIN, "Minimize")
    CONTROL(BTN_SYSTRAY, "Hide in the notification area")
    CONTROL(BTN_SYSCLOSE, "Close")
    CONTROL(BTN_TIMEINC, "Increase the time")
    CONTROL(BTN_TIMEDEC, "Decrease the time")
    CONTROL(BTN_TIMERESET, "Reset the time")
    CONTROL(SLIDER_THRESHOLD, "Sound threshold")
    CONTROL(BTN_AUTODETECT, "Find the recording line automatically")
    CONTROL(BTN_CLOSEAUDIOBOX, "Close the audio line box")
    CONTROL(BTN_MULTIFILE, "Start a new file for each recording")
    CONTROL(BTN_TIMESTAMPEDFILE, "Name files by date and time")
    CONTROL(BTN_MUSICSET, "MP3 settings")
    CONTROL(BTN_WMASET, "WMA settings")
    CONTROL(BTN_SIGNALSET, "Sound activation and track splitting settings")
    CONTROL(BTN_CLOCKSET, "Schedule settings")
    CONTROL(BTN_BACKGROUNDSET, "Background sound settings")
    CONTROL(BTN_BACKGROUNDENABLE, "Mix in the background sound")
    CONTROL(BTN_MP3FILE, "Record to MP3")
    CONTROL(BTN_WAVFILE, "Record to WAV")
    CONTROL(BTN_WMAFILE, "Record to WMA")
    CONTROL(BTN_SIGNALFILE, "Sound-activated recording")
    CONTROL(BTN_CLOCKFILE, "Scheduled recording")
    CONTROL(BTN_RECORDINGCTRL, "Recording control panel")
    CONTROL(BTN_SHOWSWITCH, "Show the input level")
    CONTROL(BTN_STEREO, "Stereo")
    CONTROL(BTN_MONO, "Mono")
    CONTROL(BTN_16BIT, "16-bit samples")
    CONTROL(BTN_8BIT, "8-bit samples")
    CONTROL(BTN_OK, "OK")
    CONTROL(BTN_CANCEL, "Cancel")
    CONTROL(BTN_HELPBOOK, "Help")
    CONTROL(BTN_HOME, "Home page")
    CONTROL(BTN_EXIT, "Exit")
    CONTROL(BTN_CONTINUE, "Continue")
    CONTROL(BTN_STARTHELP, "Help")
    CONTROL(BTN_SYSHELP, "Help")
    CONTROL(BTN_DEFAULT, "Default values")
    CONTROL(BTN_DELETE, "Delete")
    CONTROL(BTN_ADDTIME, "Add")
    CONTROL(COMBO_MP3BITRATE, "MP3 bitrate")
    CONTROL(COMBO_MP3MODE, "MP3 channel mode")
    CONTROL(COMBO_SIGNALTYPE, "Action on silence")
    CONTROL(DATETIMEPICKER_START, "Start time")
    CONTROL(DATETIMEPICKER_END, "End time")
    CONTROL(LIST_TIME, "Schedule")
    CONTROL(SPIN_NEWFILEDELAY, "Delay before a new file")
    CONTROL(EDIT_NEWFILEDELAY, "Delay before a new file, in seconds")
    CONTROL(RADIO_ABSOLUTE, "Absolute times")
    CONTROL(RADIO_RELATIVE, "Times relative to now")
    CONTROL(AREA_MINUTE, "Minutes")
    CONTROL(AREA_SECOND, "Seconds")
    CONTROL(AREA_FREQUENCY, "Sample rate")
    CONTROL(AREA_VOLUME, "Recording volume")
    CONTROL(BTN_NOISEGATE, "Noise gate")
    CONTROL(BTN_LOWPASS, "Low-pass filter")
    CONTROL(BTN_HIGHPASS, "High-pass filter")
    CONTROL(BTN_NOISESETTING, "Noise gate and filter settings")
    CONTROL(BTN_AUDIT, "Listen while recording")
    CONTROL(BTN_DEVICE, "Capture device")
    CONTROL(BTN_ARCHIVE, "Recording history")
    CONTROL(BTN_ARCHIVECLOSE, "Close the recording history")
    CONTROL(BTN_EDITID3TAG, "Edit the tags of the file")
    "</Controls>"
    "<Message>"
    "<StartFace>"
    BLOCK(MainMsg, LINE1("Welcome to Brindle.") LINE2("Choose Continue to find the recording line,")
                       LINE3("or Exit to close the program."))
    "<Tip>Brindle records what your sound card hears.</Tip>"
    "</StartFace>"
    "<FrontFace>"
    BLOCK(TapeEject, LINE1("Choose the output file") LINE2("Ready to record"))
    BLOCK(MemError, LINE1("Not enough memory") LINE2("Close other programs and try again"))
    BLOCK(FileError, LINE1("Cannot open the output file") LINE2("Check the folder and the file name"))
    BLOCK(FileInUse, LINE1("Cannot open the output file") LINE2("Another recording is writing it"))
    BLOCK(FolderMissing, LINE1("Cannot open the output file") LINE2("Its folder does not exist"))
    BLOCK(FileType, LINE1("Cannot use that file name") LINE2("It must end in .wav or .mp3"))
    BLOCK(DeviceName, LINE1("Cannot use that file name") LINE2("It names a device (nul, con, com1...)"))
    BLOCK(NameTooLong, LINE1("Cannot use that file name") LINE2("The name is too long"))
    BLOCK(DiskFull, LINE1("The disk is full") LINE2("Recording stopped, the file is kept"))
    BLOCK(WriteError, LINE1("The output file cannot be written") LINE2("Recording stopped, the file is kept"))
    BLOCK(WMASupport, LINE1("Failed to Init WMA encoder") LINE2("Please contact the support team"))
    BLOCK(WMAError, LINE1("WMA encoder error") LINE2("Choose another WMA format"))
    BLOCK(MP3Support, LINE1("MP3 encoder not found") LINE2("Record to WAV or WMA instead"))
    BLOCK(MP3Frequency, LINE1("Sample rate not supported") LINE2("Choose another rate for MP3"))
    BLOCK(MP3BitRate, LINE1("Bitrate not supported") LINE2("Choose another MP3 bitrate"))
    BLOCK(FormatError, LINE1("Recording format not supported") LINE2("Choose another rate or sample size"))
    BLOCK(DeviceAvailabity, LINE1("Recording device not available") LINE2("Check the device and the line"))
    BLOCK(BackgroundError, LINE1("Background file open error") LINE2("record without background"))
    BLOCK(PrepareBackground, LINE1("Preparing the background sound") LINE2("Please wait"))
    BLOCK(DeviceError, LINE1("Cannot open the recording device") LINE2("Choose another device"))
    BLOCK(UnknowType, LINE2("Unknown file type"))
    BLOCK(RecordingTest, LINE1("Testing Recording Line") LINE2("Line"))
    BLOCK(LineFound, LINE1("Record Line Found") LINE2("Ready To Record"))
    BLOCK(LineNotFound, LINE1("Record Line Not Found") LINE2("Try Manual Testing"))
    BLOCK(AutoConfig, LINE1("Auto Config Audio Line") LINE2("wait for several second"))
    BLOCK(InvalidFile, LINE2("The file cannot be played"))
    BLOCK(TestFinish, LINE1("Testing Recording Line") LINE2("Line") LINE3("Finish"))
    BLOCK(PlayBackSupport, LINE1("Recording line not found, click") LINE2("config button to find audio line"))
    BLOCK(RecordNotFinished, LINE1("The recording is not finished") LINE2("or the file is too short to play"))
    BLOCK(RecordingStop, LINE2("Recording will stop at"))
    BLOCK(RecordingStart, LINE2("Recording will start at"))
    "</FrontFace>"
    "<FaceMP3Setting>"
    BLOCK(MainMsg, LINE1("Set MP3 parameters") LINE2("Bitrate, channel mode and tags"))
    "<Tip>A higher bitrate gives better sound and larger files.</Tip>"
    "<Mode>Channel mode</Mode>"
    "<BitRate>Bitrate</BitRate>"
    "</FaceMP3Setting>"
    "<FaceSignalSetting>"
    BLOCK(MainMsg, LINE1("Sound activation") LINE2("and track splitting"))
    "<Tip>Recording follows the sound level.</Tip>"
    "<Threshold>Threshold (dB)</Threshold>"
    "<Action>Action on silence</Action>"
    "<DelayTime>Delay (seconds)</DelayTime>"
    "</FaceSignalSetting>"
    "<FaceScheduleSetting>"
    BLOCK(MainMsg, LINE1("Recording schedule"))
    "<Tip>Recordings start and stop at the times listed.</Tip>"
    "<StartTime>Start time</StartTime>"
    "<EndTime>End time</EndTime>"
    "<TimeRange>Time range</TimeRange>"
    "<List>Schedule</List>"
    "<Absolute>Absolute</Absolute>"
    "<Relative>Relative</Relative>"
    "</FaceScheduleSetting>"
    "<FaceAbout>"
    "<Tip>Brindle sound recorder</Tip>"
    "<Version>Version 1.0</Version>"
    "<Language>Language</Language>"
    "</FaceAbout>"
    "<FaceDate>"
    "<TimeInfo>Time</TimeInfo>"
    "<DateInfo>Date</DateInfo>"
    "</FaceDate>"
    "</Message>"
    "</VOLMARK>";

#define KEY(name, text) "<" #name ">" text "</" #name ">"

const char BuiltInHotKeyDocument[] =
    "<?xml version=\"1.0\"?>"
    "<VOLMARK>"
    "<HOTKEYSCRIPT>"
    "<ENABLEHOTKEY>YES</ENABLEHOTKEY>"
    "<FRONTFACE>"
    KEY(BTN_STOP, "F5") KEY(BTN_STOP, "ESC") KEY(BTN_STOP, "CTRL+S")
    KEY(BTN_PAUSE, "F6") KEY(BTN_PAUSE, "CTRL+U") KEY(BTN_PAUSE, "PAGEDOWN")
    KEY(BTN_PLAY, "F7") KEY(BTN_PLAY, "SPACEBAR") KEY(BTN_PLAY, "CTRL+P")
    KEY(BTN_RECORD, "F8") KEY(BTN_RECORD, "ENTER") KEY(BTN_RECORD, "CTRL+R")
    KEY(BTN_EJECT, "F9") KEY(BTN_EJECT, "CTRL+E")
    KEY(BTN_CLOCKFILE, "CTRL+T")
    KEY(BTN_SIGNALFILE, "CTRL+V")
    KEY(BTN_HELP, "CTRL+SHIFT+H")
    KEY(BTN_DETECT, "CTRL+SHIFT+C")
    KEY(BTN_MUSICSET, "CTRL+SHIFT+M")
    KEY(BTN_SIGNALSET, "CTRL+SHIFT+V")
    KEY(BTN_CLOCKSET, "CTRL+SHIFT+T")
    KEY(BTN_WMASET, "CTRL+SHIFT+A")
    KEY(BTN_BACKGROUNDSET, "CTRL+SHIFT+B")
    KEY(BTN_NOISESETTING, "CTRL+SHIFT+N")
    KEY(BTN_MULTIFILE, "SHIFT+M")
    KEY(BTN_TIMESTAMPEDFILE, "SHIFT+T")
    KEY(BTN_MP3FILE, "SHIFT+F")
    KEY(BTN_WAVFILE, "SHIFT+W")
    KEY(BTN_WMAFILE, "SHIFT+A")
    KEY(BTN_BACKGROUNDENABLE, "SHIFT+B")
    KEY(BTN_NOISEGATE, "SHIFT+G")
    KEY(BTN_LOWPASS, "SHIFT+L")
    KEY(BTN_HIGHPASS, "SHIFT+H")
    KEY(BTN_AUDIT, "SHIFT+P")
    KEY(BTN_SHOWSWITCH, "SHIFT+I")
    KEY(BTN_STEREO, "CTRL+ALT+S")
    KEY(BTN_MONO, "CTRL+ALT+M")
    KEY(BTN_16BIT, "CTRL+ALT+9")
    KEY(BTN_8BIT, "CTRL+ALT+8")
    KEY(BTN_MINUTEINC, "CTRL+ALT+F1")
    KEY(BTN_MINUTEDEC, "CTRL+ALT+F2")
    KEY(BTN_SECONDINC, "CTRL+ALT+F3")
    KEY(BTN_SECONDDEC, "CTRL+ALT+F4")
    KEY(BTN_TIMEINC, "CTRL+ALT+I")
    KEY(BTN_TIMEDEC, "CTRL+ALT+D")
    KEY(BTN_TIMERESET, "CTRL+ALT+R")
    KEY(BTN_RECORDINGCTRL, "CTRL+ALT+W")
    KEY(BTN_AUTODETECT, "CTRL+ALT+A")
    KEY(BTN_CLOSEAUDIOBOX, "CTRL+ALT+C")
    KEY(BTN_DEVICE, "CTRL+ALT+S")
    KEY(BTN_SYSHELP, "CTRL+H")
    KEY(BTN_SYSMIN, "CTRL+M")
    KEY(BTN_SYSTRAY, "CTRL+B")
    KEY(BTN_SYSCLOSE, "CTRL+C")
    KEY(SLD_VOLUMEUP, "CTRL+UPARROW")
    KEY(SLD_VOLUMEDOWN, "CTRL+DOWNARROW")
    KEY(SLD_FREQUENCYUP, "SHIFT+UPARROW")
    KEY(SLD_FREQUENCYDOWN, "SHIFT+DOWNARROW")
    KEY(BTN_ARCHIVE, "CTRL+A")
    KEY(BTN_ARCHIVECLOSE, "CTRL+F")
    KEY(BTN_EDITID3TAG, "CTRL+E")
    "</FRONTFACE>"
    "<BACKFACE>"
    KEY(BTN_OK, "CTRL+SHIFT+ALT+O")
    KEY(BTN_CANCEL, "CTRL+SHIFT+ALT+C")
    KEY(BTN_HELPBOOK, "CTRL+SHIFT+ALT+H")
    KEY(BTN_HOME, "CTRL+SHIFT+ALT+W")
    KEY(BTN_DEFAULT, "CTRL+SHIFT+ALT+S")
    KEY(BTN_DELETE, "CTRL+SHIFT+ALT+R")
    KEY(BTN_ADDTIME, "CTRL+SHIFT+ALT+A")
    "</BACKFACE>"
    "</HOTKEYSCRIPT>"
    "</VOLMARK>";
