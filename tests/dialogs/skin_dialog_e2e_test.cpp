// The skinned dialog frame, driven on the display: where the window goes and
// what shape it has, every way out of it (only OK and Enter run the writer),
// slider presses that must not drag the window and a slider hold that ends
// when the capture is lost, and two bad edits that must not trade message
// boxes for ever.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <string>

#include "bench.h"
#include "dialogs/SkinDialog.h"

namespace {

constexpr UINT kTemplate = 900;
constexpr int kEditA = 901, kEditB = 902;
constexpr char kTitle[] = "Skin Probe";

// The 578 x 388 outline with cut corners, its one point beyond the right edge
// included.
const POINT kOutline[] = {{8, 0},   {573, 0},   {584, 9},   {578, 17}, {578, 372},
                          {573, 388}, {8, 388}, {5, 386},   {2, 383},  {0, 378},
                          {0, 10},  {2, 5},     {5, 2}};
const SkinFrame kFrame{kOutline, 13, 578, 388, "IDR_NOISEGATINGFACE", {326, 336}, {464, 336}};

class CProbeDlg : public CSkinDialog {
public:
    CProbeDlg() : CSkinDialog(kTemplate, kFrame) {}

    std::atomic<int> okRuns{0}, rejected{0}, sliderValue{-1};
    CSkinSlider slider;

protected:
    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        slider.Create(m_hWnd, 48, 125, 259, 155, 8, 25, "IDR_SLIDERDELAY", "IDR_THUMB_TIME", 52,
                      253);
        slider.SetThumbSize(7, 16);
        slider.SetPos(0);
        AddSlider(&slider);
        PlaceControl(kEditA, 300, 130, 60, 18);
        PlaceControl(kEditB, 300, 180, 60, 18);
        SetDlgItemText(kEditA, "5");
        SetDlgItemText(kEditB, "88");
        return TRUE;
    }
    void OnOkButton() override {
        ++okRuns;
        CloseOk();
    }
    void OnSliderMoved(CSkinSlider* s) override { sliderValue = s->GetPos(); }
    afx_msg void OnKillA() { Check(kEditA, "The first value must be 0 to 25."); }
    afx_msg void OnKillB() { Check(kEditB, "The second value must be 0 to 25."); }

    void Check(int id, const char* message) {
        int value = 0;
        if (CheckEditRange(id, 0, 25, message, &value) == EditCheck::Rejected) ++rejected;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CSkinDialog)
    ON_EN_KILLFOCUS(kEditA, OnKillA)
    ON_EN_KILLFOCUS(kEditB, OnKillB)
END_MESSAGE_MAP()

class SkinDialogTest : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }

    static HWND WaitForProbe() {
        HWND w = nullptr;
        DWORD start = GetTickCount();
        while (!(w = bench::FindDialog(GetCurrentProcessId(), kTitle)) && GetTickCount() - start < 60000)
            Sleep(20);
        Sleep(150);  // drawn
        return w;
    }
    // Whatever the driver managed, the dialog ends (the test then fails on
    // its checks instead of hanging).
    static void EnsureClosed() {
        if (HWND w = bench::FindDialog(GetCurrentProcessId(), kTitle)) {
            bench::Screenshot("stuck");
            if (HWND box = bench::WaitForOwnedDialog(w, 100)) PostMessageA(box, WM_COMMAND, IDOK, 0);
            PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
    }
};

// Placed at 200,200 with its size, cut to its outline, OK and Cancel where
// the frame says; OK and Enter run the dialog's OK handler, Cancel, Esc and
// Alt+F4 leave OkPressed 0 without it.
TEST_F(SkinDialogTest, FrameShapeAndEveryWayOut) {
    struct Way {
        const char* name;
        int action;  // 0 click OK, 1 Enter, 2 click Cancel, 3 Esc, 4 Alt+F4
        BYTE okPressed;
        int okRuns;
    };
    const Way ways[] = {{"click OK", 0, 1, 1}, {"Enter", 1, 1, 1}, {"click Cancel", 2, 0, 0},
                        {"Esc", 3, 0, 0},      {"Alt+F4", 4, 0, 0}};
    bool framed = false;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        CProbeDlg dlg;
        RECT rect{}, okRect{}, cancelRect{};
        bool inside = false, cornerCut = true, beyondEdge = true;
        INT_PTR result = 0;
        bench::WithDriver(
            [&] {
                HWND w = WaitForProbe();
                if (!w) return EnsureClosed();
                GetWindowRect(w, &rect);
                GetWindowRect(GetDlgItem(w, CSkinDialog::kOkId), &okRect);
                GetWindowRect(GetDlgItem(w, CSkinDialog::kCancelId), &cancelRect);
                HRGN rgn = CreateRectRgn(0, 0, 0, 0);
                if (GetWindowRgn(w, rgn) != ERROR) {
                    inside = PtInRegion(rgn, 100, 100);
                    cornerCut = !PtInRegion(rgn, 1, 1);
                    beyondEdge = !PtInRegion(rgn, 580, 100);
                }
                DeleteObject(rgn);
                if (!framed) bench::Screenshot("frame", w);
                framed = true;
                switch (way.action) {
                case 0: bench::Click(okRect.left + 36, okRect.top + 12); break;
                case 1: bench::KeyPress(VK_RETURN); break;
                case 2: bench::Click(cancelRect.left + 36, cancelRect.top + 12); break;
                case 3: bench::KeyPress(VK_ESCAPE); break;
                case 4: bench::KeyPress(VK_F4, false, false, true); break;
                }
                bench::Pump(200);
                EnsureClosed();
            },
            [&] { result = dlg.DoModal(); });
        EXPECT_EQ(200, rect.left);
        EXPECT_EQ(200, rect.top);
        EXPECT_EQ(578, rect.right - rect.left);
        EXPECT_EQ(388, rect.bottom - rect.top);
        EXPECT_EQ(200 + 326, okRect.left);
        EXPECT_EQ(200 + 336, okRect.top);
        EXPECT_EQ(72, okRect.right - okRect.left);
        EXPECT_EQ(200 + 464, cancelRect.left);
        EXPECT_TRUE(inside);
        EXPECT_TRUE(cornerCut);
        EXPECT_TRUE(beyondEdge);
        EXPECT_EQ(way.okPressed, dlg.OkPressed);
        EXPECT_EQ(way.okRuns, dlg.okRuns.load());
        EXPECT_EQ(way.okPressed ? IDOK : IDCANCEL, result);
        EXPECT_EQ(0, dlg.rejected.load());
    }
}

// A drag on the slider's thumb moves the thumb and not the window; a drag on
// the bare face moves the window; a hold that loses the capture ends, so a
// later move over the dialog leaves the thumb alone.
TEST_F(SkinDialogTest, SliderPressesDoNotDragAndLostCaptureEndsTheHold) {
    CProbeDlg dlg;
    RECT before{}, afterSlider{}, afterFace{};
    int dragged = -1, afterLoss = -1, afterMoves = -1;
    bool heldAfterLoss = true;
    bench::WithDriver(
        [&] {
            HWND w = WaitForProbe();
            if (!w) return EnsureClosed();
            GetWindowRect(w, &before);
            const int thumbX = 200 + 52, thumbY = 200 + 147;
            bench::Drag(thumbX, thumbY, thumbX + 100, thumbY);
            bench::Pump(100);
            dragged = dlg.sliderValue;
            GetWindowRect(w, &afterSlider);

            // Press on the thumb, lose the capture, release.
            const int x = 200 + dlg.slider.ThumbCentre();
            bench::MouseMove(x, thumbY);
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            SendInput(1, &in, sizeof in);
            bench::Pump(100);
            SendMessageA(w, WM_CANCELMODE, 0, 0);
            heldAfterLoss = dlg.slider.IsCaptured();
            in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(1, &in, sizeof in);
            bench::Pump(100);
            afterLoss = dlg.slider.GetPos();
            for (int dx = 0; dx <= 120; dx += 20) bench::MouseMove(x - 60 + dx, thumbY);
            afterMoves = dlg.slider.GetPos();

            bench::Drag(200 + 300, 200 + 60, 200 + 340, 200 + 90);
            bench::Pump(200);
            GetWindowRect(w, &afterFace);
            bench::KeyPress(VK_ESCAPE);
            EnsureClosed();
        },
        [&] { dlg.DoModal(); });
    EXPECT_GT(dragged, 5);
    EXPECT_EQ(before.left, afterSlider.left);
    EXPECT_EQ(before.top, afterSlider.top);
    EXPECT_FALSE(heldAfterLoss);
    EXPECT_EQ(afterLoss, afterMoves);
    EXPECT_EQ(before.left + 40, afterFace.left);
    EXPECT_EQ(before.top + 30, afterFace.top);
    EXPECT_EQ(0, dlg.OkPressed);
}

// Two edits holding bad values: leaving the first for the second shows one
// box captioned with the program's title, the focus goes back to the first,
// and no box for the second follows (nor any after it).
TEST_F(SkinDialogTest, TwoBadEditsRaiseOneBox) {
    CProbeDlg dlg;
    std::string caption, text, focusText;
    bool second = true;
    bench::WithDriver(
        [&] {
            HWND w = WaitForProbe();
            if (!w) return EnsureClosed();
            HWND a = GetDlgItem(w, kEditA), b = GetDlgItem(w, kEditB);
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            bench::Click(ra.left + 20, ra.top + 8);
            SendMessageA(a, EM_SETSEL, 0, -1);
            bench::TypeText("99");
            bench::Click(rb.left + 20, rb.top + 8);
            HWND box = bench::WaitForOwnedDialog(w);
            if (!box) return EnsureClosed();
            caption = bench::WindowText(box);
            text = bench::MessageBoxText(box);
            bench::Screenshot("range-box", box);
            bench::KeyPress(VK_RETURN);
            bench::Pump(300);
            second = bench::WaitForOwnedDialog(w, 1500) != nullptr;
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui);
            focusText = bench::WindowText(gui.hwndFocus);
            bench::KeyPress(VK_ESCAPE);
            EnsureClosed();
        },
        [&] { dlg.DoModal(); });
    EXPECT_EQ("Velorin", caption);
    EXPECT_EQ("The first value must be 0 to 25.", text);
    EXPECT_FALSE(second);
    EXPECT_EQ("99", focusText);
    EXPECT_EQ(1, dlg.rejected.load());
    EXPECT_EQ(0, dlg.OkPressed);
}

}  // namespace
