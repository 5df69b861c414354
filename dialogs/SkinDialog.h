// The frame every skinned settings dialog is built on: a borderless window
// cut to a polygon, placed at 200,200, its face painted from the skin through
// an off-screen context, OK (1032) and Cancel (1033) as skinned buttons, a
// press on the bare face dragging the window, and message boxes with the
// program's title.
//
// A dialog describes its frame once (SkinFrame), registers its sliders with
// AddSlider and overrides the hooks it needs: OnOkButton (the writer; Enter
// runs it too), DrawFace (its own drawing over the face), OnSliderMoved,
// OnFacePress (rows and other drawn targets). Esc, Alt+F4 and WM_CLOSE end
// the dialog as Cancel does: nothing written, OkPressed 0.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "ui/Picture.h"
#include "ui/SkinSlider.h"
#include "ui/UniButton.h"

struct SkinFrame {
    // Outline of the window in winding fill mode; null: the full
    // width x height rectangle.
    const POINT* outline;
    int outlineCount;
    int width, height;
    const char* face;  // skin bitmap of type "BMP", stretched over width x height
    POINT ok;          // OK's top-left corner; x < 0: the dialog has no OK button
    POINT cancel;      // Cancel's; x < 0: none
};

class CSkinDialog : public CDialog {
public:
    enum { kOkId = 1032, kCancelId = 1033 };
    // Caption of every message box of the dialogs.
    static const char kBoxCaption[];
    // What a dialog says when the registry refused one of its writes.
    static const char kSettingsNotSavedText[];

    CSkinDialog(UINT templateId, const SkinFrame& frame, CWnd* parent = nullptr);
    ~CSkinDialog() override;

    // 1 only when the dialog was closed through its OK handler; a dialog
    // closed any other way has changed nothing.
    BYTE OkPressed = 0;

    BOOL OnInitDialog() override;
    // Enter: the same handler, with the same checks, as a click on OK.
    void OnOK() override;
    // Esc, Alt+F4, WM_CLOSE.
    void OnCancel() override;

    // Where the frame put the window and its region (tests and callers read them).
    const SkinFrame& Frame() const { return frame_; }

protected:
    // ---- hooks ----
    // OK (1032) and Enter. The default closes with OkPressed 1; a dialog
    // writes its values, then calls CloseOk(), or returns to refuse.
    virtual void OnOkButton();
    // Cancel (1033) and every other way out. The default closes.
    virtual void OnCancelButton();
    // Drawing of the dialog's own over the face and the sliders, into the
    // off-screen context (client coordinates).
    virtual void DrawFace(HDC dc);
    // A press on the face that no slider took: true when the dialog used it
    // (a row, a drawn target), so the window is not dragged.
    virtual bool OnFacePress(CPoint point);
    // A registered slider took a press, moved or was released.
    virtual void OnSliderMoved(CSkinSlider* slider);

    // ---- helpers ----
    void CloseOk();
    void CloseCancel();
    // CloseOk when `stored` (every write of the dialog was taken); otherwise
    // the dialog says so and stays open, its values still in it.
    void CloseOkIfStored(bool stored);
    // Sliders the frame forwards presses, moves, releases, capture loss and
    // paint to. The dialog owns them; register after Create.
    void AddSlider(CSkinSlider* slider);
    // A skinned button with a rectangular width x height region at (x, y).
    bool CreateSkinButton(CUniButton& button, const char* face, UINT id, int x, int y, int width,
                          int height, int faceMode);
    // Sets a two-state button's face and repaints it.
    static void SetButtonChecked(CUniButton& button, bool checked);
    // Moves a control of the template to a rectangle of the face (the well
    // the skin draws for it). An edit is centred in the well at the height
    // of its text. A drop-down list keeps its selection field at `height`
    // and drops a list of `listHeight` below it; drawn by its owner
    // (CBS_OWNERDRAWFIXED | CBS_HASSTRINGS), it is flat in its well and its
    // list is dark like the face.
    // A placed edit or list that is disabled (or a read-only edit) is
    // greyed together with its well.
    void PlaceControl(int id, int x, int y, int width, int height, int listHeight = 200);
    // A message box over the dialog with the program's title. While it is up
    // no edit check runs (see CheckEditRange).
    int ShowBox(const char* text, UINT type = MB_OK | MB_ICONWARNING);
    bool BoxShowing() const { return boxShowing_; }
    // True when `name` is a device (nul.wav, com1.mp3 ...), not a file: a
    // box says so, ending in `advice`, and the focus goes back to edit
    // `editId`.
    bool RefuseDeviceName(const char* name, int editId, const char* advice);

    enum class EditCheck { Accepted, Rejected, Skipped };
    // Reads edit `id` (at most maxChars characters, decimal; text that is
    // not a number reads as 0) and accepts lo..hi into *value. A rejected
    // value shows `message` and puts the focus back into the edit. While one
    // of the dialog's boxes is up, or while the focus is being put back, no
    // check runs (Skipped, *value untouched): two bad edits would otherwise
    // hand the focus to each other and raise boxes without end. Nor does one
    // run when the focus went to Cancel or the dialog is closing.
    EditCheck CheckEditRange(int id, int lo, int hi, const char* message, int* value,
                             int maxChars = 19);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* wnd);
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT ctlColor);
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
    afx_msg void OnOkCommand();
    afx_msg void OnCancelCommand();

    CPicture FacePicture;
    CUniButton OkButton, CancelButton;

    DECLARE_MESSAGE_MAP()

private:
    struct Well {
        int id;
        RECT rect;  // where PlaceControl put the field, before centring an edit
    };
    void AddWell(int id, int x, int y, int width, int height);
    void DrawWellsOutOfUse(HDC dc);

    SkinFrame frame_;
    CRgn region_;  // ours; the window gets a copy
    CBrush editBrush_, listBrush_, disabledBrush_;
    std::vector<Well> wells_;
    std::vector<CSkinSlider*> sliders_;
    bool boxShowing_ = false;
    bool closing_ = false;  // set once the dialog is ending: the edits lose the focus then
};
