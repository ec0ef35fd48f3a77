#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/tests/gdi_test_support.h"
#include "platform/gdi/text.h"

namespace {

using gdi_test::kBlack;
constexpr uint32_t K = kBlack;

// A canvas with an 11-pixel Tahoma selected that draws text without a background.
struct TextCanvas : gdi_test::Canvas {
    TextCanvas(int w, int h) : Canvas(w, h) {
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
    }
    ~TextCanvas() {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    HFONT font = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
};

int Width(HDC dc, const char* s) {
    SIZE size;
    GetTextExtentPoint32(dc, s, -1, &size);
    return size.cx;
}

TEST(Fonts, MetricsExtentsAndFaces) {
    TextCanvas c(10, 10);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 11);
    EXPECT_LE(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 11);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH); // variable pitch, in Win32's inverted naming
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(c.dc, "Qq", -1, &size));
    EXPECT_EQ(size.cy, tm.tmHeight);
    EXPECT_GT(size.cx, 8);
    EXPECT_EQ(Width(c.dc, "ab") + Width(c.dc, "cd"), Width(c.dc, "abcd")); // no kerning

    // A positive height is the cell height; bold text is wider; a fixed face has one advance.
    HFONT cell = CreateFont(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "");
    SelectObject(c.dc, cell);
    GetTextMetrics(c.dc, &tm);
    EXPECT_NEAR(tm.tmHeight, 20, 1);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    HFONT mono = CreateFont(-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
    SelectObject(c.dc, mono);
    EXPECT_EQ(Width(c.dc, "iiii"), Width(c.dc, "WWWW"));
    GetTextMetrics(c.dc, &tm);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
    // A width narrows or widens the average character.
    HFONT narrow = CreateFont(-11, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
    SelectObject(c.dc, c.font);
    const int normalWidth = Width(c.dc, "mmmm");
    SelectObject(c.dc, narrow);
    EXPECT_LT(Width(c.dc, "mmmm"), normalWidth);
    SelectObject(c.dc, c.font);
    for (HFONT f : {narrow, cell, mono})
        DeleteObject(f);

    // Stock and non-client fonts are usable, and GetObject reads a font back.
    SelectObject(c.dc, GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_GT(Width(c.dc, "File"), 0);
    LOGFONT lf;
    EXPECT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_FALSE(GetTextExtentPoint32(reinterpret_cast<HDC>(0x12345), "x", 1, &size));
}

TEST(Text, TextOutAlignmentBackgroundAndCurrentPosition) {
    TextCanvas c(60, 20);
    SetTextColor(c.dc, RGB(0, 0, 0));
    TextOut(c.dc, 2, 2, "Hi", 2);
    const int w = Width(c.dc, "Hi");
    EXPECT_GT(c.Count(K, RECT{2, 2, 2 + w, 20}), 0);
    EXPECT_EQ(c.Count(K, RECT{0, 0, 2, 20}), 0);
    EXPECT_EQ(c.Count(K, RECT{3 + w, 0, 60, 20}), 0);

    // Right alignment ends the text at x; OPAQUE fills the cell with the background colour.
    TextCanvas r(60, 20);
    SetTextAlign(r.dc, TA_RIGHT | TA_TOP);
    SetBkMode(r.dc, OPAQUE);
    SetBkColor(r.dc, RGB(255, 0, 0));
    TextOut(r.dc, 50, 0, "Hi", 2);
    TEXTMETRIC tm;
    GetTextMetrics(r.dc, &tm);
    EXPECT_EQ(r.Count(0xFFFF0000u, RECT{50, 0, 60, 20}) + r.Count(K, RECT{50, 0, 60, 20}), 0);
    EXPECT_EQ(r.Count(0xFFFF0000u, r.All()) + r.Count(K, r.All()), w * tm.tmHeight);

    // TA_UPDATECP draws at the current position and moves it.
    SetTextAlign(c.dc, TA_UPDATECP);
    MoveToEx(c.dc, 5, 0, nullptr);
    TextOut(c.dc, 0, 0, "ab", 2);
    POINT cp;
    GetCurrentPositionEx(c.dc, &cp);
    EXPECT_EQ(cp.x, 5 + Width(c.dc, "ab"));

    // ExtTextOut: ETO_OPAQUE fills the rectangle, ETO_CLIPPED keeps the text inside it.
    TextCanvas e(40, 20);
    const RECT rect{0, 0, 6, 20};
    ExtTextOut(e.dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &rect, "WWWW", 4, nullptr);
    EXPECT_EQ(e.Count(K, RECT{6, 0, 40, 20}), 0);
    EXPECT_GT(e.Count(K, rect), 0);
}

TEST(DrawText, CalcRectWordBreakAndEllipsis) {
    TextCanvas c(200, 100);
    TEXTMETRIC tm;
    GetTextMetrics(c.dc, &tm);
    RECT r{10, 10, 10, 10};
    EXPECT_EQ(DrawText(c.dc, "Hello", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX), tm.tmHeight);
    EXPECT_EQ(r.right - r.left, Width(c.dc, "Hello"));
    EXPECT_EQ(r.bottom - r.top, tm.tmHeight);
    EXPECT_EQ(c.Count(K, c.All()), 0); // measuring draws nothing

    // Prefixes are removed from the measure; "&&" is one ampersand.
    r = RECT{0, 0, 0, 0};
    DrawText(c.dc, "&Save && exit", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, Width(c.dc, "Save & exit"));

    // Word breaks: three words that fit two to a line make two lines; line breaks start new ones.
    const int twoWords = Width(c.dc, "alpha beta");
    r = RECT{0, 0, twoWords + 2, 0};
    EXPECT_EQ(DrawText(c.dc, "alpha beta gamma", -1, &r, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
    EXPECT_EQ(r.right, twoWords);
    r = RECT{0, 0, 1000, 0};
    EXPECT_EQ(DrawText(c.dc, "one\r\ntwo\nthree", -1, &r, DT_CALCRECT), 3 * tm.tmHeight);
    r = RECT{0, 0, 5, 0}; // a word wider than the box keeps its own line
    EXPECT_EQ(DrawText(c.dc, "extraordinary word", -1, &r, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
    EXPECT_EQ(r.right, Width(c.dc, "extraordinary"));

    // Tabs expand to stops every eight average character widths, or to the length DRAWTEXTPARAMS gives.
    r = RECT{0, 0, 0, 0};
    DrawText(c.dc, "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + Width(c.dc, "b"));
    DRAWTEXTPARAMS params;
    params.iTabLength = 2;
    params.iLeftMargin = 3;
    r = RECT{0, 0, 0, 0};
    DrawTextEx(c.dc, "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS, &params);
    EXPECT_EQ(r.right, 3 + 2 * tm.tmAveCharWidth + Width(c.dc, "b"));
    EXPECT_EQ(params.uiLengthDrawn, 3u);

    // End ellipsis keeps what fits and adds "...".
    const int limit = Width(c.dc, "Some lo...");
    r = RECT{0, 0, limit, 0};
    DrawText(c.dc, "Some long caption", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(r.right, limit);
    EXPECT_LE(r.right, Width(c.dc, "Some long caption"));
    r = RECT{0, 0, Width(c.dc, "C:\\...\\file.txt"), 0};
    DrawText(c.dc, "C:\\folder\\sub\\file.txt", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_PATH_ELLIPSIS);
    EXPECT_EQ(r.right, Width(c.dc, "C:\\...\\file.txt"));
}

TEST(DrawText, PositionClippingAndPrefixUnderline) {
    TextCanvas c(100, 40);
    TEXTMETRIC tm;
    GetTextMetrics(c.dc, &tm);
    RECT r{0, 0, 100, 40};
    const int w = Width(c.dc, "Mid");
    // Centred both ways: the returned value is the bottom of the text relative to the top.
    const int bottom = DrawText(c.dc, "Mid", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    EXPECT_EQ(bottom, (40 - tm.tmHeight) / 2 + tm.tmHeight);
    const int left = (100 - w) / 2;
    EXPECT_EQ(c.Count(K, RECT{0, 0, left, 40}), 0);
    EXPECT_EQ(c.Count(K, RECT{left + w + 1, 0, 100, 40}), 0);
    EXPECT_EQ(c.Count(K, RECT{0, 0, 100, (40 - tm.tmHeight) / 2}), 0);
    EXPECT_GT(c.Count(K, c.All()), 0);

    // Without DT_NOCLIP text stops at the rectangle; with it, it runs on.
    TextCanvas clipped(100, 20), unclipped(100, 20);
    RECT narrow{0, 0, 10, 20};
    DrawText(clipped.dc, "WWWWWW", -1, &narrow, DT_SINGLELINE);
    DrawText(unclipped.dc, "WWWWWW", -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(clipped.Count(K, RECT{10, 0, 100, 20}), 0);
    EXPECT_GT(unclipped.Count(K, RECT{10, 0, 100, 20}), 0);
    // The DC's own clip still applies with DT_NOCLIP.
    TextCanvas dcClip(100, 20);
    IntersectClipRect(dcClip.dc, 0, 0, 5, 20);
    DrawText(dcClip.dc, "WWWWWW", -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(dcClip.Count(K, RECT{5, 0, 100, 20}), 0);

    // "&" underlines the next character: the same text with and without the prefix differs only
    // below the baseline under that character; DT_HIDEPREFIX and "&&" draw no underline.
    auto draw = [&](const char* text, UINT flags) {
        auto canvas = std::make_unique<TextCanvas>(60, 20);
        RECT box{0, 0, 60, 20};
        DrawText(canvas->dc, text, -1, &box, DT_SINGLELINE | flags);
        return canvas;
    };
    auto plain = draw("_x", DT_NOPREFIX);
    auto marked = draw("_&x", 0);
    auto hidden = draw("_&x", DT_HIDEPREFIX);
    auto onlyMarks = draw("_&x", DT_PREFIXONLY);
    const int ux = Width(c.dc, "_");
    const RECT under{ux, tm.tmAscent, ux + Width(c.dc, "x"), tm.tmHeight};
    EXPECT_GT(marked->Count(K, under), plain->Count(K, under));
    EXPECT_EQ(hidden->Count(K, hidden->All()), plain->Count(K, plain->All()));
    EXPECT_EQ(onlyMarks->Count(K, RECT{0, 0, ux, 20}), 0); // no text, just the underline
    EXPECT_EQ(onlyMarks->Count(K, under), marked->Count(K, under) - plain->Count(K, under));
    auto amp = draw("a&&b", 0);
    auto ampPlain = draw("a&b", DT_NOPREFIX);
    EXPECT_EQ(amp->Count(K, amp->All()), ampPlain->Count(K, ampPlain->All()));
}

TEST(Text, VerticalFontsTurnAroundTheReferencePoint) {
    TextCanvas c(60, 60);
    const int w = Width(c.dc, "Wide");
    TEXTMETRIC tm;
    GetTextMetrics(c.dc, &tm);
    // Escapement 900 runs upwards from the reference point, 2700 downwards.
    HFONT up = CreateFont(-11, 0, 900, 900, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
    HGDIOBJ old = SelectObject(c.dc, up);
    TextOut(c.dc, 10, 50, "Wide", 4);
    const RECT upBox{10, 50 - w, 10 + tm.tmHeight, 51};
    EXPECT_GT(c.Count(K, upBox), 0);
    EXPECT_EQ(c.Count(K, c.All()), c.Count(K, upBox));
    TextCanvas d(60, 60);
    HFONT down = CreateFont(-11, 0, -900, -900, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
    SelectObject(d.dc, down);
    TextOut(d.dc, 40, 5, "Wide", 4);
    const RECT downBox{40 - tm.tmHeight + 1, 5, 41, 5 + w};
    EXPECT_GT(d.Count(K, downBox), 0);
    EXPECT_EQ(d.Count(K, d.All()), d.Count(K, downBox));
    SelectObject(c.dc, old);
    SelectObject(d.dc, old);
    DeleteObject(up);
    DeleteObject(down);
}

} // namespace
