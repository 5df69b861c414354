// A skinned dialog whose values each have a slider and an edit box that
// follow each other: the noise gate and the track splitter. The edit shows
// the value, the slider a position, and the stored value may differ from
// both by a fixed offset (a level index shown in dB, a cut-off whose slider
// starts at 10000 Hz).
#pragma once

#include "dialogs/SkinDialog.h"

struct SliderFieldSpec {
    int editId;
    int editX, editY, editWidth, editHeight;
    RECT track;  // the slider's rectangle on the face
    const char* trackBitmap;
    int maximum;  // slider positions 0..maximum
    int step;     // pixels the thumb snaps to
    int minXInset, maxXInset;  // the thumb centre runs from left + min to right - max
    int shownMin, shownMax;    // what the edit accepts
    int shownOffset;           // shown = stored + shownOffset
    int posOffset;             // slider position = stored + posOffset
    const char* message;       // the answer to a value outside shownMin..shownMax
};

class CSliderFieldDialog : public CSkinDialog {
public:
    using CSkinDialog::CSkinDialog;

protected:
    struct Field {
        const SliderFieldSpec* spec = nullptr;
        CSkinSlider slider;
    };

    // Places the field's edit, makes its slider and shows `stored` in both.
    void InitField(Field& field, const SliderFieldSpec& spec, int stored);
    // The edit's check when it loses the focus: an accepted value moves the
    // slider and gives its stored form in *stored.
    EditCheck CheckField(Field& field, int* stored = nullptr);
    // Every field's check, in order, as OK runs them: false at the first
    // edit that is refused (its box has been shown and the focus is back in
    // it); otherwise stored[i] holds field i's stored value.
    bool CheckFields(Field* fields, int count, int* stored);

    // A dragged thumb writes its value into the edit.
    void OnSliderMoved(CSkinSlider* slider) override;
    void RegisterFields(Field* fields, int count);

private:
    Field* fields_ = nullptr;
    int fieldCount_ = 0;
};
