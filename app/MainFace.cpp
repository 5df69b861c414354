// The main window's face: outlines, face buttons, sliders, painting and the
// mouse routing between sliders and window dragging.

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/VelorinDlg.h"

#include <commctrl.h>
#include "app/FaceText.h"
#include "app/RecordingRules.h"
#include "app/StatusRows.h"
#include "app/resource.h"
#include "engine/EngineState.h"
#include "engine/PlayerGraph.h"
#include "engine/RecordingLines.h"
#include "framework/SafeString.h"

namespace {

const POINT kOutlineA[] = {{8, 0},     {573, 0},   {584, 9},   {588, 17},  {588, 38},
                           {592, 44},  {592, 344}, {588, 352}, {588, 376}, {584, 383},
                           {579, 388}, {573, 392}, {8, 392},   {5, 390},   {2, 387},
                           {0, 382},   {0, 10},    {2, 5},     {5, 2}};
const POINT kOutlineB[] = {{8, 0},     {573, 0},   {584, 9},   {588, 17},  {588, 30},
                           {949, 30},  {949, 363}, {588, 363}, {588, 376}, {584, 383},
                           {579, 388}, {573, 392}, {8, 392},   {5, 390},   {2, 387},
                           {0, 382},   {0, 10},    {2, 5},     {5, 2}};
const POINT kOutlineC[] = {{8, 0},     {573, 0},   {584, 9},   {588, 17},  {588, 38},
                           {592, 44},  {592, 344}, {586, 354}, {584, 566}, {586, 568},
                           {586, 591}, {583, 598}, {577, 603}, {573, 607}, {8, 607},
                           {5, 605},   {2, 602},   {0, 597},   {0, 588},   {2, 588},
                           {2, 372},   {0, 372},   {0, 10},    {2, 5},     {5, 2}};
const POINT kOutlineC2[] = {{8, 0},     {573, 0},   {584, 9},   {588, 17},  {588, 30},
                            {949, 30},  {949, 363}, {586, 363}, {586, 374}, {584, 566},
                            {586, 568}, {586, 591}, {583, 598}, {577, 603}, {573, 607},
                            {8, 607},   {5, 605},   {2, 602},   {0, 597},   {0, 588},
                            {2, 588},   {2, 372},   {0, 372},   {0, 10},    {2, 5},
                            {5, 2}};

const COLORREF kFaceColour = RGB(28, 210, 252);
const COLORREF kSelectedLine = RGB(128, 255, 255);
// Output, background and play-file lines, in InfoRowMode order.
const RECT kInfoLineRects[3] = {{260, 70, 545, 83}, {260, 84, 545, 97}, {260, 98, 545, 111}};
constexpr int kVolumeSliderMaximum = 0xFFFF;

}  // namespace

const FaceOutline OutlinePlain{kOutlineA, 19};
const FaceOutline OutlineAudioBox{kOutlineB, 19};
const FaceOutline OutlineArchive{kOutlineC, 25};
const FaceOutline OutlineArchiveAudioBox{kOutlineC2, 26};

const FaceButtonSpec FaceButtonTable[kFaceButtonCount] = {
    {1062, "IDR_BTN16BIT", 26, 35, 72, 24, 2, "BTN_16BIT"},
    {1063, "IDR_BTN8BIT", 26, 63, 72, 24, 2, "BTN_8BIT"},
    {1060, "IDR_BTNSTEREO", 26, 105, 72, 24, 2, "BTN_STEREO"},
    {1061, "IDR_BTNMONO", 26, 132, 72, 24, 2, "BTN_MONO"},
    {1165, "IDR_BTNSETTING", 119, 252, 72, 24, 1, "BTN_BACKGROUNDSET"},
    {1046, "IDR_BTNMP3SET", 386, 308, 72, 24, 1, "BTN_MUSICSET"},
    {1172, "IDR_BTNWMASET", 469, 308, 72, 24, 1, "BTN_WMASET"},
    {1047, "IDR_BTNSETTING", 386, 251, 72, 24, 1, "BTN_SIGNALSET"},
    {1048, "IDR_BTNSETTING", 386, 280, 72, 24, 1, "BTN_CLOCKSET"},
    {1050, "IDR_BTNTRACKSTART", 469, 251, 72, 24, 2, "BTN_SIGNALFILE"},
    {1051, "IDR_BTNSCHEDULESTART", 469, 280, 72, 24, 2, "BTN_CLOCKFILE"},
    {1121, "IDR_BTNDEVICE", 590, 244, 72, 24, 1, "BTN_DEVICE"},
    {1020, "IDR_BTNAUTODETECT", 590, 270, 72, 24, 1, "BTN_AUTODETECT"},
    {1021, "IDR_BTNCLOSEAUDIOBOX", 590, 322, 72, 24, 1, "BTN_CLOSEAUDIOBOX"},
    {1067, "IDR_BTNRECORDINGCTRL", 590, 296, 72, 24, 1, "BTN_RECORDINGCTRL"},
    {1118, "IDR_BTNSETTING", 42, 322, 72, 24, 1, "BTN_NOISESETTING"},
    {1166, "IDR_BTNAPPLY", 207, 252, 72, 24, 2, "BTN_BACKGROUNDENABLE"},
    {1139, "IDR_BTNEDITID3TAG", 30, 389, 72, 24, 1, "BTN_EDITID3TAG"},
    {1038, "IDR_BTNCHECKBOX", 26, 207, 17, 12, 2, "BTN_MULTIFILE"},
    {1073, "IDR_BTNCHECKBOX", 26, 226, 17, 12, 2, "BTN_TIMESTAMPEDFILE"},
    {1113, "IDR_BTNCHECKBOX", 26, 188, 17, 12, 2, "BTN_AUDIT"},
    {1114, "IDR_BTNCHECKBOX", 148, 308, 17, 12, 2, "BTN_NOISEGATE"},
    {1115, "IDR_BTNCHECKBOX", 148, 327, 17, 12, 2, "BTN_LOWPASS"},
    {1116, "IDR_BTNCHECKBOX", 148, 346, 17, 12, 2, "BTN_HIGHPASS"},
    {1049, "IDR_BTNRADIO", 422, 342, 19, 19, 2, "BTN_MP3FILE"},
    {1170, "IDR_BTNRADIO", 354, 342, 19, 19, 2, "BTN_WAVFILE"},
    {1171, "IDR_BTNRADIO", 489, 342, 19, 19, 2, "BTN_WMAFILE"},
    {1004, "IDR_BTNSTOP", 253, 187, 60, 55, 1, "BTN_STOP"},
    {1003, "IDR_BTNPAUSE", 313, 187, 60, 55, 2, "BTN_PAUSE"},
    {1006, "IDR_BTNPLAY", 373, 187, 60, 55, 3, "BTN_PLAY"},
    {1000, "IDR_BTNRECORD", 433, 187, 60, 55, 3, "BTN_RECORD"},
    {1005, "IDR_BTNEJECT", 493, 187, 60, 55, 1, "BTN_EJECT"},
    {1008, "IDR_BTNDETECT", 571, 30, 22, 330, 1, "BTN_DETECT"},
    {1068, "IDR_BTNSHOWSWITCH", 522, 70, 28, 60, 2, "BTN_SHOWSWITCH"},
    {1034, "IDR_BTNHELPBOOK", 209, 136, 45, 15, 1, "BTN_HELPBOOK"},
    {1013, "IDR_BTNSYSMIN", 504, 2, 23, 24, 1, "BTN_SYSMIN"},
    {1014, "IDR_BTNSYSCLOSE", 531, 1, 23, 24, 1, "BTN_SYSCLOSE"},
    {1056, "IDR_BTNSYSHELP", 447, 4, 23, 24, 1, "BTN_SYSHELP"},
    {1094, "IDR_BTNSYSTRAY", 476, 4, 23, 24, 1, "BTN_SYSTRAY"},
    {1137, "IDR_BTNARCHIVE", 239, 373, 101, 20, 1, "BTN_ARCHIVE"},
    {1138, "IDR_BTNARCHIVECLOSE", 239, 588, 101, 20, 1, "BTN_ARCHIVECLOSE"},
    {1223, "IDR_BTNUPLOAD", 450, 373, 101, 20, 1, ""},
};

CUniButton* CVelorinDlg::FaceButton(UINT id) {
    for (int i = 0; i < kFaceButtonCount; ++i)
        if (FaceButtonTable[i].id == id) return &FaceButtons[i];
    return nullptr;
}

void CVelorinDlg::CreateFaceButtons() {
    HRGN shape = nullptr;
    int shapeW = 0, shapeH = 0;
    for (int i = 0; i < kFaceButtonCount; ++i) {
        const FaceButtonSpec& spec = FaceButtonTable[i];
        // Buttons of one size share one temporary shape (the button keeps
        // a copy of its own).
        if (!shape || spec.width != shapeW || spec.height != shapeH) {
            if (shape) DeleteObject(shape);
            shape = CreateRectRgn(0, 0, spec.width, spec.height);
            shapeW = spec.width;
            shapeH = spec.height;
        }
        DWORD style = WS_CHILD | WS_VISIBLE;
        if (spec.id == 1034) style = WS_CHILD;  // the help book exists unseen
        FaceButtons[i].Create(spec.baseName, style, shape, m_hWnd, spec.id, spec.x, spec.y);
        FaceButtons[i].faceMode = spec.mode;
        if (spec.id == 1068) {
            HWND h = FaceButtons[i].GetSafeHwnd();
            ::EnableWindow(h, FALSE);
            WINDOWPLACEMENT place{};
            place.length = sizeof place;
            ::GetWindowPlacement(h, &place);
            place.showCmd = SW_HIDE;
            ::SetWindowPlacement(h, &place);
        }
    }
    if (shape) DeleteObject(shape);
    for (UINT id : {1121u, 1020u, 1021u, 1067u, 1139u, 1138u, 1223u})
        if (CUniButton* b = FaceButton(id)) {
            ::EnableWindow(b->GetSafeHwnd(), FALSE);
            ::ShowWindow(b->GetSafeHwnd(), SW_HIDE);
        }
}

void CVelorinDlg::SetCheckFace(UINT id, bool on) {
    if (CUniButton* b = FaceButton(id)) {
        b->checked = on ? 1 : 0;
        if (b->GetSafeHwnd()) b->Redraw();
    }
}

void CVelorinDlg::ApplyWindowRegion(BOOL redraw) {
    const FaceOutline& outline = ArchiveOpen ? (AudioBoxOpen ? OutlineArchiveAudioBox : OutlineArchive)
                                 : AudioBoxOpen ? OutlineAudioBox
                                                : OutlinePlain;
    // A fresh region every time: the one handed over belongs to the system.
    HRGN region = CreatePolygonRgn(outline.points, outline.count, WINDING);
    if (region && !SetWindowRgn(region, redraw)) DeleteObject(region);
}

void CVelorinDlg::CreateSliders() {
    VolumeSlider.Create(m_hWnd, 200, 29, 227, 160, 1, kVolumeSliderMaximum, "IDR_SLIDERVOLUM",
                        "IDR_THUMB", 36, 150);
    VolumeSlider.SetPos(VolumeValue);

    // Level and pan of the selected line; neutral when the line has none.
    double level = 0, pan = 0;
    if (LineIndex >= 0) {
        GetInputMixLevel(LineIndex, &level);
        GetInputPan(LineIndex, &pan);
    }
    level = std::clamp(level, 0.0, 1.0);
    pan = std::clamp(pan, -1.0, 1.0);
    RecordLevelSlider.Create(m_hWnd, 609, 89, 635, 220, 1, 0xFFFF, "IDR_SLIDERVOLUM", "IDR_THUMB",
                             96, 213);
    RecordLevelSlider.SetPos(static_cast<int>(level * 0xFFFF));
    InputBalanceSlider.Create(m_hWnd, 592, 63, 653, 80, 1, 0xFFFF, "IDR_SLIDERBALANCE",
                              "IDR_THUMB2", 596, 649);
    InputBalanceSlider.SetPos(static_cast<int>((pan + 1) * (0xFFFF / 2)));
    PlayPositionSlider.Create(m_hWnd, 252, 162, 552, 180, 1, 0xFFFF, "IDR_SLIDERPLAY",
                              "IDR_THUMBPLAY", 260, 543);
    PlayPositionSlider.SetThumbSize(17, 18);
    PlayPositionSlider.SetPos(0);
    SampleRateSlider.Create(m_hWnd, 123, 29, 150, 160, 14, 8, "IDR_SLIDERRATE", "IDR_THUMB", 36,
                            150);
    SampleRateSlider.SetPos(SampleRateIndex);
    ThresholdSlider.Create(m_hWnd, 341, 156, 551, 185, 4, 47, "IDR_SLIDERTHRESHOLD2",
                           "IDR_THUMB_TIME", 353, 541);
    ThresholdSlider.SetThumbSize(7, 16);
    ThresholdSlider.SetPos(SignalThreshold);
    MixBalanceSlider.Create(m_hWnd, 400, 160, 461, 179, 1, 100, "IDR_SLIDERBALANCE", "IDR_THUMB2",
                            404, 457);
    MixBalanceSlider.SetPos(100 - MixBalancePercent);
}

// ---- painting --------------------------------------------------------------

void CVelorinDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        DrawIcon(dc.GetSafeHdc(), (rect.Width() - cx + 1) / 2, (rect.Height() - cy + 1) / 2,
                 m_hIcon);
        return;
    }
    CPaintDC paint(this);
    RECT client;
    GetClientRect(&client);
    {
        CXTMemDC mem(paint.GetSafeHdc(), &client);
        HDC dc = mem;
        FacePicture.Draw(dc, 0, 0, 592, 392);
        VolumeSlider.Draw(dc);
        DrawFrequencyButtons(dc);
        SampleRateSlider.Draw(dc);
        DrawWaveMeter(dc);
        ShowStatusText(dc, StatusLine1, StatusLine2);
        DrawOutputFileLine(dc);
        DrawBackgroundLine(dc);
        DrawPlayFileLine(dc);
        DrawElapsedTime(dc);
        DrawFileSize(dc);
        DrawPlayPosition(dc);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        if (!SignalModeOn) {
            if (!IsRecording && !ScheduleModeOn) PlayPositionSlider.Draw(dc);
        }
        if (SignalModeOn) {
            ThresholdSlider.Draw(dc);
        } else if (IsRecording && RecordingOptions.BackgroundMixOn) {
            MixBalanceSlider.Draw(dc);
            DrawPercentage(dc);
        }
        if (AudioBoxOpen) {
            DrawAudioBox(dc);
            RecordLevelSlider.Draw(dc);
            InputBalanceSlider.Draw(dc);
        }
        DrawArchivePanel(dc);
    }
}

HCURSOR CVelorinDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

void CVelorinDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnMenuAbout();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void DrawFaceText(HDC dc, const RECT& rect, COLORREF colour, const char* text) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, colour);
    UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP);
    ExtTextOutA(dc, rect.left, rect.top, ETO_CLIPPED, &rect, text,
                static_cast<UINT>(strlen(text)), nullptr);
    SetTextAlign(dc, oldAlign);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

namespace {

void DrawLineText(HDC dc, const RECT& rect, COLORREF fill, const char* text) {
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    DrawFaceText(dc, rect, RGB(0, 0, 0), text);
}

// Widths of text as the face draws it, in the font selected into `dc`.
StatusTextWidth WidthIn(HDC dc) {
    return [dc](const char* text, int length) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text, length, &size);
        return static_cast<int>(size.cx);
    };
}

// A file row: its label and a path shortened in its folders, so that the
// file name shows instead of a glyph cut at the row's edge. Two pixels
// stay free at the right, where the last letter would touch the edge.
void DrawFileRow(HDC dc, const RECT& rect, COLORREF fill, const char* label, const char* path) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    const std::string text = FitPathRow(label, path ? path : "", rect.right - rect.left - 2, WidthIn(dc));
    SelectObject(dc, oldFont);
    DrawLineText(dc, rect, fill, text.c_str());
}

}  // namespace

void CVelorinDlg::ShowStatusText(HDC dc, const char* line1, const char* line2) {
    HDC own = dc ? nullptr : ::GetDC(m_hWnd);
    if (own) dc = own;
    RECT area{260, 124, 460, 150};
    CPicture back;
    if (back.Load("IDR_DASHBOARDINFOLINE")) back.Draw(dc, 260, 124, 200, 26);
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    CString first = line1 ? line1 : "", second = line2 ? line2 : "";
    // The rows show what fits; the info line's tooltip keeps the whole texts.
    const StatusRows rows = FitStatusRows(first.GetString(), second.GetString(), area.right - area.left, WidthIn(dc));
    ExtTextOutA(dc, 260, 124, ETO_CLIPPED, &area, rows.first.c_str(), static_cast<UINT>(rows.first.size()),
                nullptr);
    ExtTextOutA(dc, 260, 136, ETO_CLIPPED, &area, rows.second.c_str(),
                static_cast<UINT>(rows.second.size()), nullptr);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, old);
    StatusLine1 = first;
    StatusLine2 = second;
    ++StatusTextShown;
    if (own) ::ReleaseDC(m_hWnd, own);
}

void CVelorinDlg::ShowMessage(const char* key) {
    char line1[200] = "", line2[200] = "", line3[200] = "";
    LanguageDocument.GetMessageLines(key, line1, line2, line3, sizeof line1);
    ShowStatusText(nullptr, line1, line2);
}

void CVelorinDlg::DrawOutputFileLine(HDC dc) {
    char name[1000] = "";
    GetDlgItemText(IDC_FILENAME, name, sizeof name);
    DrawFileRow(dc, kInfoLineRects[0], InfoRowMode == 0 ? kSelectedLine : kFaceColour, "Output   File : ", name);
}

void CVelorinDlg::DrawBackgroundLine(HDC dc) {
    DrawFileRow(dc, kInfoLineRects[1], InfoRowMode == 1 ? kSelectedLine : kFaceColour, "Background : ",
                RecordingOptions.BackgroundFile);
}

void CVelorinDlg::DrawPlayFileLine(HDC dc) {
    DrawFileRow(dc, kInfoLineRects[2], InfoRowMode == 2 ? kSelectedLine : kFaceColour, "File for playing : ",
                PlayFile);
}

const char* CVelorinDlg::InfoLineFile(int row, char* box, size_t size) {
    if (row == 1) return RecordingOptions.BackgroundFile;
    if (row == 2) return PlayFile;
    box[0] = '\0';
    GetDlgItemText(IDC_FILENAME, box, static_cast<int>(size));
    return box;
}

bool CVelorinDlg::OnInfoLineClick(CPoint point) {
    // The lines choose what Play and the position readout refer to: not
    // while anything runs.
    if (IsPlaying || IsRecording || SignalModeOn || ScheduleModeOn) return false;
    for (int row = 0; row < 3; ++row) {
        if (!PtInRect(&kInfoLineRects[row], point)) continue;
        if (InfoRowMode != row) {
            char box[1000];
            PlayLength = OpenPlayerFile(InfoLineFile(row, box, sizeof box));
            DrawPlayPosition(nullptr);
        }
        InfoRowMode = row;
        RepaintRect(RECT{260, 70, 545, 111});
        return true;
    }
    return false;
}

LRESULT CVelorinDlg::OnInvalidFile(WPARAM, LPARAM) {
    char box[1000], line1[200] = "", line2[200] = "", line3[200] = "";
    // A copy: the stop below may change what the line shows.
    CString file = InfoLineFile(InfoRowMode, box, sizeof box);
    LanguageDocument.GetMessageLines("InvalidFile", line1, line2, line3, sizeof line1);
    ShowStatusText(nullptr, file, line2);
    StopRecording();
    return 0;
}

void CVelorinDlg::DrawWaveMeter(HDC dc) {
    CPicture meter;
    if (meter.Load("IDR_DASHBOARDWAVEMETER")) meter.Draw(dc, 256, 32, 152, 21);
    // The picture covers the meters: their next step draws them in full.
    Meters.Invalidate();
}

void CVelorinDlg::DrawElapsedTime(HDC dc) {
    if (FaceMode != 0 && FaceMode != 2) return;
    time_t now = time(nullptr);
    struct tm local{};
    localtime_s(&local, &now);
    char text[16];
    SafeFormat(text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    DrawLineText(dc, RECT{22, 165, 66, 178}, kFaceColour, text);
}

void CVelorinDlg::RepaintRect(const RECT& rect) {
    if (!IsRectEmpty(&rect)) InvalidateRect(&rect, FALSE);
}

// ---- mouse routing ---------------------------------------------------------

void CVelorinDlg::OnLButtonDown(UINT flags, CPoint point) {
    bool taken = OnInfoLineClick(point);
    if (!taken && FaceMode != 1) {
        CClientDC client(this);
        HDC dc = client.GetSafeHdc();
        RECT dirty{};
        if (AudioBoxOpen &&
            (TestAudioLines(point) || OnMicButtonDown(point) || OnMicMarkerClick(point))) {
            taken = true;
        } else if (VolumeSlider.MouseDown(dc, point.x, point.y, &dirty)) {
            taken = true;
            RepaintRect(dirty);
        } else if (AudioBoxOpen && RecordLevelSlider.MouseDown(dc, point.x, point.y, &dirty)) {
            taken = true;
            RepaintRect(dirty);
        } else if (!IsRecording && !IsPlaying &&
                   SampleRateSlider.MouseDown(dc, point.x, point.y, &dirty)) {
            taken = true;
            RepaintRect(dirty);
        } else if (SignalModeOn && ThresholdSlider.MouseDown(dc, point.x, point.y)) {
            taken = true;
        } else if (!SignalModeOn && IsRecording && RecordingOptions.BackgroundMixOn &&
                   MixBalanceSlider.MouseDown(dc, point.x, point.y)) {
            taken = true;
        } else if (!SignalModeOn && !IsRecording && !ScheduleModeOn &&
                   PlayPositionSlider.MouseDown(dc, point.x, point.y)) {
            taken = true;
        } else if (AudioBoxOpen && !(IsNt6 && !AudioBoxShown) &&
                   InputBalanceSlider.MouseDown(dc, point.x, point.y)) {
            taken = true;
        }
        if (taken) SliderEffects();
    }
    // Only a press nothing else took moves the window: the system's move
    // loop keeps the mouse and would swallow a slider's release.
    if (!taken && point.x >= 0 && point.y >= 0 && point.x < 592 && point.y < 392) {
        POINT screen = point;
        ::ClientToScreen(m_hWnd, &screen);
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
    }
    CDialog::OnLButtonDown(flags, point);
}

void CVelorinDlg::SliderEffects() {
    if (VolumeSlider.IsCaptured()) {
        VolumeValue = VolumeSlider.GetPos();
        SetMasterVolume(MasterVolumeForSlider(VolumeValue, kVolumeSliderMaximum, MasterVolumeMin,
                                              MasterVolumeMax));
    }
    if (SampleRateSlider.IsCaptured()) {
        SampleRateIndex = std::clamp(SampleRateSlider.GetPos(), 0, 8);
        UpdateRecordFormat();
        RepaintRect(RECT{123, 29, 150, 160});
    }
    if (RecordLevelSlider.IsCaptured() && LineIndex >= 0)
        SetInputMixLevel(LineIndex, RecordLevelSlider.GetPos() / 65535.0);
    if (InputBalanceSlider.IsCaptured() && LineIndex >= 0)
        SetInputPan(InputBalanceSlider.GetPos() * 2.0 / 65535.0 - 1, LineIndex);
    if (ThresholdSlider.IsCaptured() && SignalModeOn) {
        SignalThreshold = ThresholdSlider.GetPos();
        RecordingOptions.SignalLevelIndex = SignalThreshold;
    }
    if (PlayPositionSlider.IsCaptured()) {
        PlayPosition = static_cast<int32_t>(PlayPositionSlider.GetPos() / 65535.0 * PlayLength);
        DrawPlayPosition(nullptr);
    }
    if (MixBalanceSlider.IsCaptured()) {
        MixBalancePercent = 100 - MixBalanceSlider.GetPos();
        RecordingOptions.MixBalance = MixBalancePercent;
        if (PlayerGraph) PlayerGraph->SetVolume(MixBalancePercent);
        DrawPercentage(nullptr);
    }
}

void CVelorinDlg::OnMouseMove(UINT flags, CPoint point) {
    if (FaceMode != 1) {
        CClientDC client(this);
        HDC dc = client.GetSafeHdc();
        RECT dirty{};
        RecordLevelSlider.MouseMove(dc, &dirty, point.y);
        RepaintRect(dirty);
        InputBalanceSlider.MouseMove(dc, nullptr, point.x);
        if (SignalModeOn) {
            ThresholdSlider.MouseMove(dc, nullptr, point.x);
        } else {
            PlayPositionSlider.MouseMove(dc, nullptr, point.x);
            MixBalanceSlider.MouseMove(dc, nullptr, point.x);
        }
        VolumeSlider.MouseMove(dc, &dirty, point.y);
        RepaintRect(dirty);
        SampleRateSlider.MouseMove(dc, &dirty, point.y);
        RepaintRect(dirty);
        SliderEffects();
        HoverAudioBoxRows(point);
        UpdateCursor(point);
    }
    CDialog::OnMouseMove(flags, point);
}

void CVelorinDlg::OnLButtonUp(UINT flags, CPoint point) {
    OnMicButtonUp(point);
    SliderEffects();
    CClientDC client(this);
    HDC dc = client.GetSafeHdc();
    RECT dirty{};
    VolumeSlider.MouseUp(dc, &dirty);
    RepaintRect(dirty);
    RecordLevelSlider.MouseUp(dc, &dirty);
    RepaintRect(dirty);
    bool rate = SampleRateSlider.IsCaptured();
    SampleRateSlider.MouseUp(dc, &dirty);
    RepaintRect(dirty);
    if (rate) {
        SampleRateIndex = std::clamp(SampleRateSlider.GetPos(), 0, 8);
        UpdateRecordFormat();
        RepaintRect(RECT{123, 29, 150, 160});
    }
    ThresholdSlider.MouseUp(dc);
    MixBalanceSlider.MouseUp(dc);
    const bool seek = PlayPositionSlider.IsCaptured();
    PlayPositionSlider.MouseUp(dc);
    // A paused file stays paused: the seek would run the player again.
    if (seek && IsPlaying && !IsPaused && PlayerGraph) {
        PlaySeeking = 1;
        PlayerGraph->SeekPlayback(PlayPosition);
        PlaySeeking = 0;
    }
    InputBalanceSlider.MouseUp(dc);
    CDialog::OnLButtonUp(flags, point);
}

void CVelorinDlg::OnCaptureChanged(CWnd* wnd) {
    if (!wnd || wnd->GetSafeHwnd() != m_hWnd) {
        VolumeSlider.CaptureChanged();
        RecordLevelSlider.CaptureChanged();
        SampleRateSlider.CaptureChanged();
        ThresholdSlider.CaptureChanged();
        MixBalanceSlider.CaptureChanged();
        PlayPositionSlider.CaptureChanged();
        InputBalanceSlider.CaptureChanged();
        // Held microphone: the capture goes back to the selected line.
        if (MicButtonDown) OnMicButtonUp(CPoint(0, 0));
    }
    CDialog::OnCaptureChanged(wnd);
}

// ---- master volume ---------------------------------------------------------

int CVelorinDlg::OpenMasterVolumeControl() {
    MasterVolumeFound = false;
    if (!MixerHandle) return 0;
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(MixerHandle), &line,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return 0;
    MIXERCONTROLA control{};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(MixerHandle), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
        MMSYSERR_NOERROR)
        return 0;
    MasterVolumeMin = control.Bounds.dwMinimum;
    MasterVolumeMax = control.Bounds.dwMaximum;
    MasterVolumeControlId = control.dwControlID;
    MasterVolumeFound = true;
    return 1;
}

int CVelorinDlg::GetMasterVolume(DWORD* value) {
    if (!MixerHandle || !MasterVolumeFound) return 0;
    MIXERCONTROLDETAILS_UNSIGNED detail{};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = MasterVolumeControlId;
    details.cChannels = 1;
    details.cbDetails = sizeof detail;
    details.paDetails = &detail;
    if (mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(MixerHandle), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) !=
        MMSYSERR_NOERROR)
        return 0;
    *value = detail.dwValue;
    return 1;
}

int CVelorinDlg::SetMasterVolume(DWORD value) {
    if (!MixerHandle || !MasterVolumeFound) return 0;
    MIXERCONTROLDETAILS_UNSIGNED detail{value};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = MasterVolumeControlId;
    details.cChannels = 1;
    details.cbDetails = sizeof detail;
    details.paDetails = &detail;
    return mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(MixerHandle), &details,
                                  MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

LRESULT CVelorinDlg::OnMixerControlChange(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HMIXER>(wParam) != MixerHandle || !MixerHandle) return 0;
    if (!MasterVolumeFound || static_cast<DWORD>(lParam) != MasterVolumeControlId) return 0;
    DWORD value = 0;
    if (!GetMasterVolume(&value)) return 0;
    // The stored volume is the slider's: it follows what the mixer says.
    VolumeValue = SliderForMasterVolume(value, MasterVolumeMin, MasterVolumeMax,
                                        kVolumeSliderMaximum);
    VolumeSlider.SetPos(VolumeValue);
    RepaintRect(RECT{200, 29, 227, 160});
    return 0;
}
