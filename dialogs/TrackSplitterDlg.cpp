#include "dialogs/TrackSplitterDlg.h"

#include <algorithm>

#include "dialogs/DialogIds.h"

namespace {

// The same outline as the noise-gate dialog's.
const POINT kOutline[] = {{8, 0},   {573, 0}, {584, 9}, {578, 17}, {578, 372}, {573, 388}, {8, 388},
                          {5, 386}, {2, 383}, {0, 378}, {0, 10},   {2, 5},     {5, 2}};
const SkinFrame kFrame{kOutline, 13, 578, 388, "IDR_TRACKSPLITTERFACE", {462, 74}, {462, 126}};

const SliderFieldSpec kSpecs[] = {
    {IDC_THRESHOLD, 240, 51, 24, 16, {54, 70, 265, 100}, "IDR_SLIDERTHRESHOLD2", 47, 4, 12, 10, -48, -1,
     -48, 0, "Please input the threshold volue between -48 and -1"},
    {IDC_DELAY, 240, 104, 24, 16, {54, 123, 265, 153}, "IDR_SLIDERDELAY", 25, 8, 4, 6, 0, 25, 0, 0,
     "Please input the time delay volue between 0 and 25"},
};

// SignalType values.
enum { kActionPause = 0, kActionStop = 1, kActionNewFile = 2 };

}  // namespace

BEGIN_MESSAGE_MAP(CTrackSplitterDlg, CSkinDialog)
    ON_COMMAND(IDC_ACTION_NEWFILE, OnBtnNewFile)
    ON_COMMAND(IDC_ACTION_PAUSE, OnBtnPause)
    ON_COMMAND(IDC_ACTION_STOP, OnBtnStop)
    ON_EN_KILLFOCUS(IDC_THRESHOLD, OnKillFocusThreshold)
    ON_EN_KILLFOCUS(IDC_DELAY, OnKillFocusDelay)
END_MESSAGE_MAP()

CTrackSplitterDlg::CTrackSplitterDlg(CWnd* parent)
    : CSliderFieldDialog(IDD_TRACKSPLITTER, kFrame, parent) {}

BOOL CTrackSplitterDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    CreateButtons();

    // The store reads only 0..2; a missing value is 0, Pause.
    DWORD action = 0;
    Settings.ReadSignalType(&action);
    ChooseAction(action == kActionPause  ? PauseButton
                 : action == kActionStop ? StopButton
                                         : NewFileButton);

    // Threshold is clamped by the store; a delay outside 0..25 reads as 0.
    DWORD delay = 0, threshold = 0;
    Settings.ReadNewFileDelay(&delay);
    Settings.ReadThreshold(&threshold);
    InitSliders(std::min<int>(static_cast<int>(threshold), 47), delay <= 25 ? static_cast<int>(delay) : 0);
    return TRUE;
}

void CTrackSplitterDlg::CreateButtons() {
    CreateSkinButton(NewFileButton, "IDR_BTNNEWFILE", IDC_ACTION_NEWFILE, 330, 74, 72, 24,
                     CUniButton::kCheckFaces);
    CreateSkinButton(PauseButton, "IDR_BTNTRACKSPLITTERPAUSE", IDC_ACTION_PAUSE, 330, 100, 72, 24,
                     CUniButton::kCheckFaces);
    CreateSkinButton(StopButton, "IDR_BTNTRACKSPLITTERSTOP", IDC_ACTION_STOP, 330, 126, 72, 24,
                     CUniButton::kCheckFaces);
}

void CTrackSplitterDlg::InitSliders(int threshold, int delay) {
    InitField(Fields[kThreshold], kSpecs[kThreshold], threshold);
    InitField(Fields[kDelay], kSpecs[kDelay], delay);
    RegisterFields(Fields, kFieldCount);
}

void CTrackSplitterDlg::ChooseAction(CUniButton& chosen) {
    for (CUniButton* b : {&NewFileButton, &PauseButton, &StopButton})
        SetButtonChecked(*b, b == &chosen);
}

void CTrackSplitterDlg::OnBtnNewFile() {
    if (!NewFileButton.checked) ChooseAction(NewFileButton);
}
void CTrackSplitterDlg::OnBtnPause() {
    if (!PauseButton.checked) ChooseAction(PauseButton);
}
void CTrackSplitterDlg::OnBtnStop() {
    if (!StopButton.checked) ChooseAction(StopButton);
}

void CTrackSplitterDlg::OnKillFocusThreshold() { CheckField(Fields[kThreshold]); }
void CTrackSplitterDlg::OnKillFocusDelay() { CheckField(Fields[kDelay]); }

void CTrackSplitterDlg::OnOkButton() {
    // A valid value typed without leaving its edit is taken; a bad one
    // refuses OK. The sliders then hold what is stored.
    int checked[kFieldCount] = {};
    if (!CheckFields(Fields, kFieldCount, checked)) return;
    const int threshold = Fields[kThreshold].slider.GetPos();
    const int delay = Fields[kDelay].slider.GetPos();
    const int action = StopButton.checked ? kActionStop : PauseButton.checked ? kActionPause : kActionNewFile;
    int stored = 1;
    stored &= Settings.WriteThreshold(static_cast<DWORD>(threshold));
    stored &= Settings.WriteSignalType(static_cast<DWORD>(action));
    stored &= Settings.WriteNewFileDelay(static_cast<DWORD>(delay));
    CloseOkIfStored(stored != 0);
}
