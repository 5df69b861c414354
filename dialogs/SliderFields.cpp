#include "dialogs/SliderFields.h"

#include "framework/SafeString.h"

namespace {

void ShowNumber(HWND dialog, int id, int value) {
    char text[16];
    SafeFormat(text, "%d", value);
    ::SetDlgItemTextA(dialog, id, text);
}

}  // namespace

void CSliderFieldDialog::RegisterFields(Field* fields, int count) {
    fields_ = fields;
    fieldCount_ = count;
}

void CSliderFieldDialog::InitField(Field& field, const SliderFieldSpec& spec, int stored) {
    field.spec = &spec;
    const RECT& r = spec.track;
    field.slider.Create(m_hWnd, r.left, r.top, r.right, r.bottom, spec.step, spec.maximum,
                        spec.trackBitmap, "IDR_THUMB_TIME", r.left + spec.minXInset,
                        r.right - spec.maxXInset);
    field.slider.SetThumbSize(7, 16);
    field.slider.SetPos(stored + spec.posOffset);
    AddSlider(&field.slider);
    PlaceControl(spec.editId, spec.editX, spec.editY, spec.editWidth, spec.editHeight);
    ShowNumber(m_hWnd, spec.editId, stored + spec.shownOffset);
}

CSkinDialog::EditCheck CSliderFieldDialog::CheckField(Field& field, int* stored) {
    const SliderFieldSpec& spec = *field.spec;
    int shown = 0;
    EditCheck result = CheckEditRange(spec.editId, spec.shownMin, spec.shownMax, spec.message, &shown);
    if (result != EditCheck::Accepted) return result;
    const int value = shown - spec.shownOffset;
    field.slider.SetPos(value + spec.posOffset);
    InvalidateRect(&field.slider.Track(), FALSE);
    if (stored) *stored = value;
    return result;
}

bool CSliderFieldDialog::CheckFields(Field* fields, int count, int* stored) {
    for (int i = 0; i < count; ++i) {
        // A check that could not run (one of our boxes is up) refuses too:
        // nothing unchecked is stored.
        if (CheckField(fields[i], &stored[i]) != EditCheck::Accepted) return false;
    }
    return true;
}

void CSliderFieldDialog::OnSliderMoved(CSkinSlider* slider) {
    for (int i = 0; i < fieldCount_; ++i) {
        Field& field = fields_[i];
        if (&field.slider != slider) continue;
        const int stored = slider->GetPos() - field.spec->posOffset;
        ShowNumber(m_hWnd, field.spec->editId, stored + field.spec->shownOffset);
    }
}
