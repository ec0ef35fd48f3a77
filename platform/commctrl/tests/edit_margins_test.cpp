#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

RECT FormatRect(HWND edit) {
    RECT r{};
    Send(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

std::pair<int, int> Margins(HWND edit) {
    const auto packed = static_cast<DWORD>(Send(edit, EM_GETMARGINS));
    return {static_cast<int>(packed & 0xFFFF), static_cast<int>(packed >> 16)};
}

DWORD Caret(HWND edit) {
    DWORD s = 0, e = 0;
    Send(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return e;
}

} // namespace

// The margins narrow the text area on each side, one at a time or both, and every place that maps
// points to characters (clicks, the caret's scrolling) follows them.
TEST(EditMargins, SetEachSideAndTheTextAreaFollows) {
    ScopedDoubleClickTime quick(40);
    Host host;
    HWND edit = host.Add("EDIT", "abcdefghij", ES_AUTOHSCROLL, RECT{10, 10, 210, 32});
    RECT client;
    GetClientRect(edit, client);
    const RECT before = FormatRect(edit);
    const auto [left0, right0] = Margins(edit);
    EXPECT_EQ(before.left, client.left + left0);
    EXPECT_EQ(before.right, client.right - right0);

    Send(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(30, 99));
    EXPECT_EQ(Margins(edit), std::make_pair(30, right0)); // the right one untouched
    EXPECT_EQ(FormatRect(edit).left, client.left + 30);
    EXPECT_EQ(FormatRect(edit).right, before.right);

    Send(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(99, 40));
    EXPECT_EQ(Margins(edit), std::make_pair(30, 40));
    EXPECT_EQ(FormatRect(edit).right, client.right - 40);

    Send(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    EXPECT_EQ(FormatRect(edit).left, client.left);
    EXPECT_EQ(FormatRect(edit).right, client.right);

    // A click just inside the left margin lands before the first character; with a wide margin the
    // same point lies in the margin and still gives position 0, while a click past the text's start
    // does not.
    Send(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(60, 0));
    Click(edit, 62, 10);
    EXPECT_EQ(Caret(edit), 0u);
    LetDoubleClickTimePass();
    Click(edit, 20, 10);
    EXPECT_EQ(Caret(edit), 0u);
    LetDoubleClickTimePass();
    Click(edit, 190, 10);
    EXPECT_EQ(Caret(edit), 10u);
}

// Margins wider than the window leave an empty area (never an inverted one); the font's margins are
// narrow, equal on both sides, and come back after explicit ones.
TEST(EditMargins, OversizedMarginsAndFontMargins) {
    Host host;
    HWND edit = host.Add("EDIT", "text", ES_AUTOHSCROLL, RECT{10, 10, 110, 32});
    Send(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(500, 500));
    const RECT r = FormatRect(edit);
    EXPECT_LE(r.left, r.right);
    EXPECT_GE(r.left, 0);

    Send(edit, EM_SETMARGINS, EC_USEFONTINFO, 0);
    const auto [left, right] = Margins(edit);
    EXPECT_EQ(left, right);
    EXPECT_GE(left, 1);
    EXPECT_LE(left, 8);
    // A bigger font gives wider margins.
    LOGFONT lf{};
    lf.lfHeight = -40;
    HFONT big = CreateFontIndirect(&lf);
    Send(edit, WM_SETFONT, reinterpret_cast<WPARAM>(big), 0);
    Send(edit, EM_SETMARGINS, EC_USEFONTINFO, 0);
    EXPECT_GT(Margins(edit).first, left);
    Send(edit, WM_SETFONT, 0, 0);
    DeleteObject(big);
}

namespace {

// The columns of the edit's client area (as shown) that hold a pixel of the text's colour.
std::vector<int> InkColumns(HWND edit) {
    InvalidateRect(edit, nullptr, TRUE_);
    UpdateWindow(edit);
    const Surface shown = pw::gui::ComposeWindow(edit);
    const uint32_t ink = 0xFF000000u | GetSysColor(COLOR_WINDOWTEXT);
    std::vector<int> columns;
    for (int x = 0; x < shown.Width(); ++x)
        for (int y = 0; y < shown.Height(); ++y)
            if ((shown.Pixel(x, y) | 0xFF000000u) == ink) {
                columns.push_back(x);
                break;
            }
    return columns;
}

} // namespace

// A multi-line edit's formatting rectangle bounds where the text is drawn and where clicks land; new
// margins, a new size or a null rectangle give the default one back. A single-line edit keeps its own.
TEST(EditFormatRect, TheRectangleBoundsDrawingAndClicksUntilTheDefaultComesBack) {
    ScopedDoubleClickTime quick(40);
    Host host;
    const RECT asked{40, 6, 120, 26};
    HWND single = host.Add("EDIT", "text", ES_AUTOHSCROLL, RECT{10, 50, 210, 80}, 0, 2);
    const RECT own = FormatRect(single);
    Send(single, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(FormatRect(single), own);

    HWND edit = host.Add("EDIT", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW",
                         ES_MULTILINE | ES_AUTOHSCROLL, RECT{10, 10, 210, 40});
    RECT client;
    GetClientRect(edit, client);
    Send(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(FormatRect(edit), asked);
    const std::vector<int> ink = InkColumns(edit);
    ASSERT_FALSE(ink.empty());
    // The text starts at the rectangle's left and is cut at its right, though it runs on.
    EXPECT_GE(ink.front(), asked.left);
    EXPECT_LE(ink.front(), asked.left + 3);
    EXPECT_LT(ink.back(), asked.right);
    EXPECT_GE(ink.back(), asked.right - 12);

    Click(edit, asked.left + 1, 15);
    EXPECT_EQ(Caret(edit), 0u);
    LetDoubleClickTimePass();
    // Left of the rectangle is before the first character too; a click in the rectangle finds the
    // character from the rectangle's left.
    Click(edit, 5, 15);
    EXPECT_EQ(Caret(edit), 0u);
    LetDoubleClickTimePass();
    const DWORD inside = (Click(edit, asked.left + 30, 15), Caret(edit));
    LetDoubleClickTimePass();
    Send(edit, EM_SETRECT, 0, 0);
    Click(edit, asked.left + 30, 15);
    EXPECT_GT(Caret(edit), inside);
    LetDoubleClickTimePass();

    // The default: the client area less the margins, as new margins or a new size make it.
    const auto [left, right] = Margins(edit);
    EXPECT_EQ(FormatRect(edit).left, client.left + left);
    EXPECT_EQ(FormatRect(edit).right, client.right - right);
    Send(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&asked));
    EXPECT_EQ(FormatRect(edit), asked);
    Send(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(5, 0));
    EXPECT_EQ(FormatRect(edit).left, client.left + 5);
    Send(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&asked));
    SetWindowPos(edit, nullptr, 0, 0, 150, 30, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(FormatRect(edit).left, 5);
    EXPECT_EQ(FormatRect(edit).right, 150 - right);
    // An inverted rectangle is taken as an empty one.
    const RECT inverted{60, 20, 30, 10};
    Send(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&inverted));
    EXPECT_EQ(FormatRect(edit), (RECT{60, 20, 60, 20}));
}
