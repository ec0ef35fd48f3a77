#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
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
    EXPECT_TRUE(k.Released()); // bit 31, which a sign-extended lParam carries in its high bits too
    TMessage press{WM_KEYDOWN, 'F', 0x00210001, 0};
    EXPECT_FALSE(TWMKey{press}.Released());

    TMessage wheel{WM_MOUSEWHEEL, static_cast<WPARAM>(MAKELPARAM(MK_CONTROL, static_cast<WORD>(-240))), 0, 0};
    EXPECT_EQ(TWMMouseWheel{wheel}.WheelDelta(), -240);

    // Hit-test codes are signed: HTERROR is negative.
    TMessage cursor{WM_SETCURSOR, 0, MAKELPARAM(static_cast<WORD>(HTERROR), WM_LBUTTONDOWN), 0};
    EXPECT_EQ(TWMSetCursor{cursor}.HitTest(), HTERROR);
    EXPECT_EQ(TWMSetCursor{cursor}.MouseMsg(), WM_LBUTTONDOWN);

    // A menu asked from the keyboard comes as (-1, -1), in a full -1 or in two halves.
    for (LPARAM keyboard : {LPARAM{-1}, MAKELPARAM(0xFFFF, 0xFFFF)}) {
        TMessage menu{WM_CONTEXTMENU, 0, keyboard, 0};
        EXPECT_TRUE(TWMContextMenu{menu}.FromKeyboard());
    }
    TMessage mouseMenu{WM_CONTEXTMENU, 0, MAKELPARAM(static_cast<WORD>(-1), 0), 0};
    EXPECT_FALSE(TWMContextMenu{mouseMenu}.FromKeyboard());

    // The client rectangle in either packing, and none when the sender gave none.
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = RECT{1, 2, 3, 4};
    TMessage calc{WM_NCCALCSIZE, TRUE_, reinterpret_cast<LPARAM>(&params), 0};
    EXPECT_EQ(TWMNCCalcSize{calc}.ClientRect(), &params.rgrc[0]);
    RECT plain{5, 6, 7, 8};
    TMessage calcPlain{WM_NCCALCSIZE, FALSE_, reinterpret_cast<LPARAM>(&plain), 0};
    EXPECT_EQ(TWMNCCalcSize{calcPlain}.ClientRect(), &plain);
    TMessage calcNone{WM_NCCALCSIZE, TRUE_, 0, 0};
    EXPECT_EQ(TWMNCCalcSize{calcNone}.ClientRect(), nullptr);

    // A text buffer without room, and a copy that would split a code point, stop short.
    TMessage noBuffer{WM_GETTEXT, 10, 0, 0};
    EXPECT_TRUE(TWMGetText{noBuffer}.Buffer().empty());
    char small[3] = {'x', 'x', 'x'};
    TMessage get{WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small), 0};
    EXPECT_EQ(CopyOut("a\xC3\xA9", TWMGetText{get}.Buffer()), 1);
    EXPECT_STREQ(small, "a");

    // WM_NCPAINT brings a region (1: all of it) or, from WM_PRINT, the DC to draw the frame into.
    pw::gdi::MemoryDC dc(nullptr, 4, 4);
    HRGN region = CreateRectRgn(0, 0, 4, 4);
    for (WPARAM w : {WPARAM{0}, WPARAM{1}, reinterpret_cast<WPARAM>(region)}) {
        TMessage paint{WM_NCPAINT, w, 0, 0};
        EXPECT_EQ(TWMNCPaint{paint}.PrintDC(), nullptr);
    }
    TMessage print{WM_NCPAINT, reinterpret_cast<WPARAM>(dc.Get()), 0, 0};
    EXPECT_EQ(TWMNCPaint{print}.PrintDC(), dc.Get());
    DeleteObject(region);
}

TEST(Messages, StyleChangesAreAnnouncedAndCanBeAdjusted) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    SetTestHandler(w, [](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
        TMessage m{msg, wp, lp, 0};
        if (msg == WM_STYLECHANGING && TWMStyleChange(m).StyleType() == GWL_EXSTYLE)
            TWMStyleChange(m).StyleStruct()->styleNew |= WS_EX_TOOLWINDOW;
        return false;
    });
    Log().clear();
    SetWindowLong(w, GWL_EXSTYLE, static_cast<LONG>(WS_EX_TOPMOST));
    EXPECT_EQ(MessagesOf(w, {WM_STYLECHANGING, WM_STYLECHANGED}),
              (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLong(w, GWL_EXSTYLE)), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
}
