#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gui/message_views.h"

using namespace gui_test;

TEST(Messages, TypedViewsDecodeTheWin32Packing) {
    TMessage m{WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(static_cast<WORD>(-5), 300), 0};
    TWMMouse mouse{m};
    EXPECT_EQ(mouse.Pos(), (POINT{-5, 300})); // under capture it may lie left of or above the window
    EXPECT_EQ(mouse.Keys(), MK_LBUTTON | MK_SHIFT);

    TMessage key{WM_SYSKEYDOWN, 'F', static_cast<LPARAM>(static_cast<int32_t>(0xE0210001u)), 0};
    TWMKey k{key};
    EXPECT_EQ(k.CharCode(), 'F');
    EXPECT_TRUE(k.AltDown());
    EXPECT_TRUE(k.WasDown());
    EXPECT_TRUE(k.IsKeyUp());
    EXPECT_EQ(k.RepeatCount(), 1);

    TMessage wheel{WM_MOUSEWHEEL, static_cast<WPARAM>(MAKELPARAM(MK_CONTROL, static_cast<WORD>(-240))), 0, 0};
    EXPECT_EQ(TWMMouseWheel{wheel}.WheelDelta(), -240);

    TMessage size{WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1024, 740), 0};
    EXPECT_EQ(TWMSize{size}.Width(), 1024);
    EXPECT_EQ(TWMSize{size}.Height(), 740);
    EXPECT_EQ(TWMSize{size}.SizeType(), SIZE_MAXIMIZED);

    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = RECT{1, 2, 3, 4};
    TMessage calc{WM_NCCALCSIZE, TRUE_, reinterpret_cast<LPARAM>(&params), 0};
    EXPECT_EQ(*TWMNCCalcSize{calc}.ClientRect(), (RECT{1, 2, 3, 4}));
}

TEST(Messages, StyleChangesAreAnnouncedAndCanBeAdjusted) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    SetTestHandler(w, [](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
        if (msg == WM_STYLECHANGING && wp == static_cast<WPARAM>(GWL_EXSTYLE))
            reinterpret_cast<STYLESTRUCT*>(lp)->styleNew |= WS_EX_TOOLWINDOW;
        return false;
    });
    Log().clear();
    SetWindowLong(w, GWL_EXSTYLE, static_cast<LONG>(WS_EX_TOPMOST));
    EXPECT_EQ(MessagesOf(w, {WM_STYLECHANGING, WM_STYLECHANGED}),
              (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(w, GWL_EXSTYLE)), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
}
