// What a memo costs as lines are added at its end: nothing in pixels or text measuring while nobody
// can see it, and each line once while shown, however long the memo has grown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/fonts.h"
#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

constexpr DWORD kWrapped = ES_MULTILINE | ES_READONLY | WS_VSCROLL;
constexpr DWORD kWide =
    ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | WS_VSCROLL | WS_HSCROLL;

std::string LogLine(int i) {
    std::string line = "line " + std::to_string(i);
    if (i % 7 == 3) line += " with words enough to run past the right edge of the memo and wrap";
    return line;
}

// A line added as the class library's memo adds one: looked at the end, then replaced there.
void Append(HWND memo, const std::string& line) {
    Send(memo, EM_GETLINECOUNT);
    const LRESULT end = Send(memo, WM_GETTEXTLENGTH);
    Send(memo, EM_LINEINDEX, static_cast<WPARAM>(Send(memo, EM_GETLINECOUNT) - 1));
    Send(memo, EM_SETSEL, static_cast<WPARAM>(end), end);
    const std::string text = line + "\r\n";
    Send(memo, EM_REPLACESEL, FALSE_, reinterpret_cast<LPARAM>(text.c_str()));
    Send(memo, EM_SCROLLCARET);
}

void ExpectSamePixels(HWND a, HWND b) {
    const Surface one = pw::gui::ComposeWindow(a);
    const Surface other = pw::gui::ComposeWindow(b);
    ASSERT_EQ(one.Width(), other.Width());
    ASSERT_EQ(one.Height(), other.Height());
    for (int y = 0; y < one.Height(); ++y)
        for (int x = 0; x < one.Width(); ++x)
            ASSERT_EQ(one.Pixel(x, y), other.Pixel(x, y)) << "at " << x << "," << y;
}

} // namespace

TEST(EditCost, AHiddenMemoMovesNoPixelsAndMeasuresNothingUntilItIsShown) {
    Host hidden(500, 200), shown(500, 200);
    const std::vector<HWND> memos{
        hidden.Add("EDIT", "", kWrapped, RECT{10, 10, 240, 150}, WS_EX_CLIENTEDGE),
        hidden.Add("EDIT", "", kWide, RECT{250, 10, 490, 150}, WS_EX_CLIENTEDGE, 2)};
    const std::vector<HWND> references{
        shown.Add("EDIT", "", kWrapped, RECT{10, 10, 240, 150}, WS_EX_CLIENTEDGE),
        shown.Add("EDIT", "", kWide, RECT{250, 10, 490, 150}, WS_EX_CLIENTEDGE, 2)};
    for (HWND memo : memos)
        Send(memo, EM_LIMITTEXT, 0);
    for (HWND memo : references)
        Send(memo, EM_LIMITTEXT, 0);
    ShowWindow(hidden.Hwnd(), SW_HIDE);
    Pump();

    const long long measured = pw::gdi::TextsMeasured();
    const long long moved = pw::gui::PixelsScrolled();
    for (int i = 0; i < 500; ++i) {
        for (HWND memo : memos)
            Append(memo, LogLine(i));
        if (i % 50 == 0) Pump();
    }
    Pump();
    EXPECT_EQ(pw::gdi::TextsMeasured(), measured);
    EXPECT_EQ(pw::gui::PixelsScrolled(), moved);

    // Shown, each memo is what one shown all along shows: the lines wrapped, the last one in view, the
    // bars set, the same pixels.
    for (int i = 0; i < 500; ++i)
        for (HWND memo : references)
            Append(memo, LogLine(i));
    ShowWindow(hidden.Hwnd(), SW_SHOWNOACTIVATE);
    Pump();
    for (size_t k = 0; k < memos.size(); ++k) {
        SCOPED_TRACE(k == 0 ? "wrapped" : "wide");
        EXPECT_EQ(Send(memos[k], EM_GETLINECOUNT), Send(references[k], EM_GETLINECOUNT));
        EXPECT_EQ(Send(memos[k], EM_GETFIRSTVISIBLELINE), Send(references[k], EM_GETFIRSTVISIBLELINE));
        EXPECT_GT(Send(memos[k], EM_GETFIRSTVISIBLELINE), 400);
        for (int bar : {SB_VERT, SB_HORZ}) {
            const SCROLLINFO a = ScrollInfo(memos[k], bar), b = ScrollInfo(references[k], bar);
            EXPECT_EQ(a.nMax, b.nMax);
            EXPECT_EQ(a.nPage, b.nPage);
            EXPECT_EQ(a.nPos, b.nPos);
        }
        ExpectSamePixels(memos[k], references[k]);
    }
    EXPECT_GT(Send(memos[0], EM_GETLINECOUNT), 501) << "the long lines wrap once shown";
}

TEST(EditCost, AHundredThousandLinesCostEachLineOnceAndMovePixelsOncePerPaint) {
    Host host(500, 200);
    HWND memo = host.Add("EDIT", "", kWrapped, RECT{10, 10, 240, 150}, WS_EX_CLIENTEDGE);
    Send(memo, EM_LIMITTEXT, 0);
    for (int i = 0; i < 20; ++i)
        Append(memo, LogLine(i));
    Pump();
    RECT client;
    GetClientRect(memo, client);
    const long long area = static_cast<long long>(client.right) * client.bottom;
    const LRESULT wrappedLines = Send(memo, EM_GETLINECOUNT);

    constexpr int kLines = 100000;
    const long long measured = pw::gdi::TextsMeasured();
    const long long moved = pw::gui::PixelsScrolled();
    for (int i = 20; i < kLines; ++i)
        Append(memo, "line " + std::to_string(i));
    // Each short line measured once to see that it fits; the pixels moved up once, after which the
    // lines wait for the paint that was due anyway.
    EXPECT_LE(pw::gdi::TextsMeasured() - measured, kLines - 20);
    EXPECT_LE(pw::gui::PixelsScrolled() - moved, area);
    EXPECT_EQ(Send(memo, EM_GETLINECOUNT), wrappedLines + kLines - 20);
    Pump();
    // What the paint shows is what a full repaint draws.
    const Surface painted = pw::gui::ComposeWindow(memo);
    InvalidateRect(memo, nullptr, TRUE_);
    UpdateWindow(memo);
    const Surface full = pw::gui::ComposeWindow(memo);
    for (int y = 0; y < full.Height(); ++y)
        for (int x = 0; x < full.Width(); ++x)
            ASSERT_EQ(painted.Pixel(x, y), full.Pixel(x, y)) << "at " << x << "," << y;
    EXPECT_GT(Send(memo, EM_GETFIRSTVISIBLELINE), kLines - 20);
}
