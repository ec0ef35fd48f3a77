// The frame of a sizeable pop-up window, drawn on a real window: the ring, the strip with its grip and
// close button at the corners asked for, the rectangles handed back for hit tests, and the margins the
// standard style gives an edit item's inner edit.
#include <gtest/gtest.h>

#include "bars/painters/flat_painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "bars/painters/window_frame.h"
#include "bars/painters/xp_painter.h"
#include "lookandfeel/size_grip.h"
#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/surface.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

using namespace bars;

namespace {

class WindowFrameTest : public ::testing::Test {
protected:
    WindowFrameTest() {
        InitCommonControls();
        wnd = CreateWindowEx(0, "STATIC", "", WS_POPUP | WS_THICKFRAME, 100, 100, 200, 120, nullptr, nullptr,
                             nullptr, nullptr);
        ShowWindow(wnd, SW_SHOWNOACTIVATE);
        pw::gui::PaintPendingWindows();
        GetWindowRect(wnd, window);
    }
    ~WindowFrameTest() override { DestroyWindow(wnd); }
    // A pixel of the window (window coordinates) as a COLORREF.
    COLORREF At(int x, int y) const {
        const Surface s = pw::gui::ComposeWindow(wnd);
        const uint32_t argb = s.Pixel(x, y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    static COLORREF Sys(int index) { return GetSysColor(index); }
    HWND wnd = nullptr;
    RECT window{0, 0, 0, 0};
    RECT grip{}, close{};
    const int border = GetSystemMetrics(SM_CXSIZEFRAME);
};

TEST_F(WindowFrameTest, WithoutSizingOnlyTheRingIsDrawnAndBothRectanglesAreEmpty) {
    ASSERT_NE(wnd, nullptr);
    DrawSizeableWindowFrame(wnd, false, false, 3, grip, close, false, false);
    EXPECT_TRUE(IsRectEmpty(grip));
    EXPECT_TRUE(IsRectEmpty(close));
    EXPECT_EQ(At(0, 0), Sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(At(199, 119), Sys(COLOR_WINDOWFRAME));
    // The flat variant's ring is the shadow colour.
    DrawSizeableWindowFrame(wnd, false, true, 3, grip, close, false, false);
    EXPECT_EQ(At(0, 60), Sys(COLOR_BTNSHADOW));
}

TEST_F(WindowFrameTest, ABottomRightGripPutsTheStripAtTheBottomAndTheCloseButtonAtItsLeft) {
    DrawSizeableWindowFrame(wnd, true, false, 3, grip, close, false, false);
    const int h = GetSizeGripAreaHeight(), w = GetSystemMetrics(SM_CXSIZE);
    const int innerBottom = 120 - border, stripTop = innerBottom - h + 1;
    // The row above the strip is the frame colour; the strip is the button face.
    EXPECT_EQ(At(100, stripTop - 1), Sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(At(100, stripTop + 1), Sys(COLOR_BTNFACE));
    // Screen coordinates: the grip square grown by 2, kept inside the strip, at the right.
    EXPECT_EQ(grip.right, window.left + 200 - border + 2);
    EXPECT_EQ(grip.left, window.left + 200 - border - GetSystemMetrics(SM_CXVSCROLL) - 2);
    EXPECT_EQ(grip.bottom, window.top + innerBottom);
    EXPECT_GE(grip.top, window.top + stripTop);
    // The close button: SM_CXSIZE wide at the strip's left, one higher than wide, one pixel lower.
    EXPECT_EQ(close.left, window.left + border);
    EXPECT_EQ(close.right - close.left, w);
    EXPECT_EQ(close.bottom - close.top, w + 1);
    EXPECT_EQ(close.top - window.top, (stripTop + innerBottom - (w + 1)) / 2 + 1);
}

TEST_F(WindowFrameTest, ATopLeftGripPutsTheStripAtTheTopAndTheCloseButtonAtItsRight) {
    DrawSizeableWindowFrame(wnd, true, false, 0, grip, close, false, false);
    const int h = GetSizeGripAreaHeight();
    EXPECT_EQ(grip.top, window.top + border);
    EXPECT_EQ(grip.left, window.left + border - 2);
    EXPECT_EQ(close.right, window.left + 200 - border);
    EXPECT_EQ(At(100, border + h - 1), Sys(COLOR_WINDOWFRAME));
}

TEST_F(WindowFrameTest, APressedCloseButtonIsSunkenExceptInTheFlatVariant) {
    DrawSizeableWindowFrame(wnd, true, false, 3, grip, close, true, true);
    const int x = close.left - window.left + 1, y = close.top - window.top + 2;
    EXPECT_EQ(At(x, y), Sys(COLOR_BTNSHADOW));
    DrawSizeableWindowFrame(wnd, true, false, 3, grip, close, true, false);
    EXPECT_EQ(At(x, y), Sys(COLOR_BTNHIGHLIGHT));
    DrawSizeableWindowFrame(wnd, true, true, 3, grip, close, true, true);
    EXPECT_EQ(At(x, y), Sys(COLOR_BTNFACE));
    // The painters reach it with their own variant.
    FlatBarPainter().DrawWindowFrame(wnd, false, 3, grip, close, false, false);
    EXPECT_EQ(At(0, 60), Sys(COLOR_BTNSHADOW));
    StandardBarPainter().DrawWindowFrame(wnd, false, 3, grip, close, false, false);
    EXPECT_EQ(At(0, 60), Sys(COLOR_WINDOWFRAME));
}

TEST(EditMarginsTest, TheStandardStyleGivesAnEditItemTwoPixelsOfMarginOnEitherSide) {
    InitCommonControls();
    HWND edit = CreateWindowEx(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    paint_test::PainterTestForm form;
    auto* manager = new TdxBarManager(&form);
    paint_test::FakeBarView bar(manager, nullptr, dsTop);
    paint_test::FakeItemView item(bar);
    SendMessage(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(7, 9));
    StandardBarPainter().SetEditMargins(item, edit);
    EXPECT_EQ(SendMessage(edit, EM_GETMARGINS, 0, 0), MAKELPARAM(2, 2));
    DestroyWindow(edit);
}

// The flat and XP styles put an edit item's text in the edit window's own rectangle less two pixels on
// every side, wherever the window stands and whatever its margins.
TEST(EditMarginsTest, TheFlatAndXPStylesFormatTheTextTwoPixelsInsideTheEditWindow) {
    InitCommonControls();
    HWND edit = CreateWindowEx(0, "EDIT", "", WS_POPUP | ES_MULTILINE | ES_AUTOHSCROLL, 30, 40, 80, 22,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    paint_test::PainterTestForm form;
    auto* manager = new TdxBarManager(&form);
    paint_test::FakeBarView bar(manager, nullptr, dsTop);
    paint_test::FakeItemView item(bar);
    SendMessage(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(7, 9));
    FlatBarPainter().SetEditMargins(item, edit);
    RECT format{};
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format, (RECT{2, 2, 78, 20}));
    SetWindowPos(edit, nullptr, 0, 0, 120, 30, SWP_NOZORDER);
    XPBarPainter().SetEditMargins(item, edit);
    SendMessage(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format, (RECT{2, 2, 118, 28}));
    DestroyWindow(edit);
}

} // namespace
