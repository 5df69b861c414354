#include "dialogs/NoiseGatingDlg.h"

#include "dialogs/DialogIds.h"

namespace {

// The window's outline: cut corners, and one point beyond its right edge.
const POINT kOutline[] = {{8, 0},   {573, 0}, {584, 9}, {578, 17}, {578, 372}, {573, 388}, {8, 388},
                          {5, 386}, {2, 383}, {0, 378}, {0, 10},   {2, 5},     {5, 2}};
const SkinFrame kFrame{kOutline, 13, 578, 388, "IDR_NOISEGATINGFACE", {326, 336}, {464, 336}};

// Stored names, in the order the values are read and written.
const char* const kNames[] = {"NoiseThreshold", "ReleaseTime", "AttackTime", "LowPass", "HighPass"};

const SliderFieldSpec kSpecs[] = {
    {IDC_THRESHOLD, 235, 54, 24, 16, {48, 72, 259, 102}, "IDR_SLIDERTHRESHOLD2", 47, 4, 12, 10, -48, -1,
     -48, 0, "Please input the threshold volue between -48 and -1"},
    {IDC_RELEASE, 235, 107, 24, 16, {48, 125, 259, 155}, "IDR_SLIDERDELAY", 25, 8, 4, 6, 0, 25, 0, 0,
     "Please input the release time volue between 0 and 25"},
    {IDC_ATTACK, 235, 159, 24, 16, {48, 177, 259, 207}, "IDR_SLIDERDELAY", 25, 8, 4, 6, 0, 25, 0, 0,
     "Please input the attack time value between 0 and 25"},
    {IDC_LOWPASS, 219, 227, 40, 16, {48, 245, 259, 275}, "IDR_SLIDERLOWPASS", 10000, 1, 4, 6, 10000,
     20000, 0, -10000, "Please input the low pass volue between 10000 and 20000"},
    {IDC_HIGHPASS, 219, 283, 40, 16, {48, 301, 259, 331}, "IDR_SLIDERHIGHPASS", 10000, 1, 4, 6, 0,
     10000, 0, 0, "Please input the high pass between 0 and 10000"},
};

}  // namespace

BEGIN_MESSAGE_MAP(CNoiseGatingDlg, CSkinDialog)
    ON_EN_KILLFOCUS(IDC_THRESHOLD, OnKillFocusThreshold)
    ON_EN_KILLFOCUS(IDC_RELEASE, OnKillFocusRelease)
    ON_EN_KILLFOCUS(IDC_ATTACK, OnKillFocusAttack)
    ON_EN_KILLFOCUS(IDC_LOWPASS, OnKillFocusLowPass)
    ON_EN_KILLFOCUS(IDC_HIGHPASS, OnKillFocusHighPass)
END_MESSAGE_MAP()

CNoiseGatingDlg::CNoiseGatingDlg(CWnd* parent) : CSliderFieldDialog(IDD_NOISEGATING, kFrame, parent) {}

BOOL CNoiseGatingDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    int32_t* values[] = {&NoiseThreshold, &ReleaseTime, &AttackTime, &LowPass, &HighPass};
    // A value outside the store's range reads as missing and keeps the default.
    for (int i = 0; i < kFieldCount; ++i) Settings.ReadDword(kNames[i], values[i]);
    InitSliders();
    return TRUE;
}

void CNoiseGatingDlg::InitSliders() {
    const int32_t values[] = {NoiseThreshold, ReleaseTime, AttackTime, LowPass, HighPass};
    for (int i = 0; i < kFieldCount; ++i) InitField(Fields[i], kSpecs[i], values[i]);
    RegisterFields(Fields, kFieldCount);
}

void CNoiseGatingDlg::OnKillFocusThreshold() { CheckField(Fields[kThreshold]); }
void CNoiseGatingDlg::OnKillFocusRelease() { CheckField(Fields[kRelease]); }
void CNoiseGatingDlg::OnKillFocusAttack() { CheckField(Fields[kAttack]); }
void CNoiseGatingDlg::OnKillFocusLowPass() { CheckField(Fields[kLowPass]); }
void CNoiseGatingDlg::OnKillFocusHighPass() { CheckField(Fields[kHighPass]); }

void CNoiseGatingDlg::OnOkButton() {
    // Every edit is checked again: a value typed and never left, or left
    // with its box answered, must not reach the registry unchecked.
    int stored[kFieldCount] = {};
    if (!CheckFields(Fields, kFieldCount, stored)) return;
    NoiseThreshold = stored[kThreshold];
    ReleaseTime = stored[kRelease];
    AttackTime = stored[kAttack];
    LowPass = stored[kLowPass];
    HighPass = stored[kHighPass];
    int written = 1;
    for (int i = 0; i < kFieldCount; ++i) written &= Settings.WriteDword(kNames[i], static_cast<DWORD>(stored[i]));
    CloseOkIfStored(written != 0);
}
