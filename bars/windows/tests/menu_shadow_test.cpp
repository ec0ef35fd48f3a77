// Menu shadows: the outline of item and menu, the strips' alpha, and the strip windows themselves.
#include <gtest/gtest.h>

#include <vector>

#include "bars/windows/menu_shadow.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"

namespace {

using bars::kShadowFadeLeft;
using bars::kShadowFadeRight;
using bars::kShadowFadeTop;
using bars::ShadowStrip;

void ExpectStrip(const ShadowStrip& s, RECT bounds, bool vertical, int fade) {
    EXPECT_EQ(s.Bounds.left, bounds.left);
    EXPECT_EQ(s.Bounds.top, bounds.top);
    EXPECT_EQ(s.Bounds.right, bounds.right);
    EXPECT_EQ(s.Bounds.bottom, bounds.bottom);
    EXPECT_EQ(s.Vertical, vertical);
    EXPECT_EQ(s.FadeEnds, fade);
}

std::vector<ShadowStrip> Strips(RECT owner, RECT window, int size = 4) {
    return bars::ShadowStrips(bars::OrderShadowRects(owner, window), size);
}

TEST(MenuShadowGeometry, APopupAtAPointHasTwoStripsAndADropDownCoversItsItem) {
    // Shown at a point: the right strip starts S below the top, the bottom one S right of the left.
    auto s = Strips(RECT{0, 0, 0, 0}, RECT{100, 50, 220, 250});
    ASSERT_EQ(s.size(), 2u);
    ExpectStrip(s[0], RECT{104, 250, 224, 254}, false, kShadowFadeLeft | kShadowFadeRight);
    ExpectStrip(s[1], RECT{220, 54, 224, 250}, true, kShadowFadeTop);

    // A drop-down narrower than its menu-bar entry: the entry's bottom shadow sticks out to the right
    // of the menu and fades at its right end.
    s = Strips(RECT{100, 0, 200, 20}, RECT{100, 20, 180, 120});
    ASSERT_EQ(s.size(), 4u);
    ExpectStrip(s[0], RECT{200, 4, 204, 20}, true, kShadowFadeTop);
    ExpectStrip(s[1], RECT{104, 120, 184, 124}, false, kShadowFadeLeft | kShadowFadeRight);
    ExpectStrip(s[2], RECT{180, 20, 204, 24}, false, kShadowFadeRight);
    ExpectStrip(s[3], RECT{180, 20, 184, 120}, true, 0);

    // A wider menu under an entry that starts further left: the entry's bottom is shaded where the menu
    // does not cover it, and the menu's own right strip fades at its top.
    s = Strips(RECT{50, 0, 200, 20}, RECT{100, 20, 300, 120});
    ASSERT_EQ(s.size(), 4u);
    ExpectStrip(s[0], RECT{200, 4, 204, 20}, true, kShadowFadeTop);
    ExpectStrip(s[2], RECT{54, 20, 100, 24}, false, kShadowFadeLeft);
    ExpectStrip(s[3], RECT{300, 24, 304, 120}, true, kShadowFadeTop);

    // A menu flipped above its entry: the upper rectangle comes first whatever the order given.
    const bars::ShadowOutline flipped =
        bars::OrderShadowRects(RECT{100, 200, 200, 220}, RECT{100, 100, 180, 200});
    EXPECT_TRUE(flipped.VerticalJoin);
    EXPECT_EQ(flipped.Rect1.top, 100);
    EXPECT_EQ(flipped.Rect2.top, 200);
}

TEST(MenuShadowGeometry, ASubMenuBesideItsLineGetsASideJoinedOutline) {
    // Opened to the right of its line.
    const bars::ShadowOutline right = bars::OrderShadowRects(RECT{10, 30, 110, 50}, RECT{110, 26, 210, 126});
    EXPECT_FALSE(right.VerticalJoin);
    auto s = bars::ShadowStrips(right, 4);
    ASSERT_EQ(s.size(), 3u);
    ExpectStrip(s[0], RECT{210, 30, 214, 126}, true, kShadowFadeTop);
    ExpectStrip(s[1], RECT{14, 50, 110, 54}, false, kShadowFadeLeft);
    ExpectStrip(s[2], RECT{114, 126, 214, 130}, false, kShadowFadeLeft | kShadowFadeRight);

    // Opened to the left: the menu becomes the left rectangle, and its right edge above the line is
    // shaded too.
    const bars::ShadowOutline left =
        bars::OrderShadowRects(RECT{200, 100, 300, 140}, RECT{100, 30, 200, 120});
    EXPECT_FALSE(left.VerticalJoin);
    EXPECT_EQ(left.Rect1.left, 100);
    s = bars::ShadowStrips(left, 4);
    ASSERT_EQ(s.size(), 4u);
    ExpectStrip(s[0], RECT{300, 104, 304, 140}, true, kShadowFadeTop);
    ExpectStrip(s[1], RECT{200, 34, 204, 100}, true, kShadowFadeTop);
    ExpectStrip(s[2], RECT{104, 120, 200, 124}, false, kShadowFadeLeft);
    ExpectStrip(s[3], RECT{204, 140, 304, 144}, false, kShadowFadeLeft | kShadowFadeRight);
}

TEST(MenuShadowAlpha, AlphaFadesOutwardAndTowardTheFadingEnds) {
    const int s = 4;
    // A right-hand strip: 60, 45, 30, 15 from the menu's edge outward.
    ShadowStrip right{RECT{0, 0, 4, 10}, true, 0};
    auto a = bars::ShadowStripAlpha(right, s);
    ASSERT_EQ(a.size(), 40u);
    EXPECT_EQ(std::vector<BYTE>(a.begin(), a.begin() + 4), (std::vector<BYTE>{60, 45, 30, 15}));
    // With a fading top its first rows are scaled by 1/5 .. 4/5.
    right.FadeEnds = kShadowFadeTop;
    a = bars::ShadowStripAlpha(right, s);
    EXPECT_EQ(std::vector<BYTE>(a.begin(), a.begin() + 4), (std::vector<BYTE>{12, 9, 6, 3}));
    EXPECT_EQ(a[3 * 4], 48);
    EXPECT_EQ(a[4 * 4], 60);
    // A bottom strip fading at both ends: rows go 60 .. 15, the end columns lighter.
    ShadowStrip bottom{RECT{0, 0, 10, 4}, false, kShadowFadeLeft | kShadowFadeRight};
    a = bars::ShadowStripAlpha(bottom, s);
    ASSERT_EQ(a.size(), 40u);
    EXPECT_EQ(a[0], 12);
    EXPECT_EQ(a[9], 12);
    EXPECT_EQ(a[4], 60);
    EXPECT_EQ(a[3 * 10 + 4], 15);
    EXPECT_EQ(a[1 * 10 + 1], 18);
    // A fading strip shorter than the shadow is never shown, and has no picture.
    ShadowStrip tiny{RECT{0, 0, 3, 4}, false, kShadowFadeRight};
    EXPECT_FALSE(bars::ShadowStripShowable(tiny, s));
    EXPECT_TRUE(bars::ShadowStripAlpha(tiny, s).empty());
    tiny.FadeEnds = 0;
    EXPECT_TRUE(bars::ShadowStripShowable(tiny, s));
}

// A plain top-level window standing for a menu, and one standing for the form below it.
HWND TopLevel(RECT r, DWORD exStyle = 0) {
    static const char* cls = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = "ShadowTestWindow";
        RegisterClass(wc);
        return "ShadowTestWindow";
    }();
    HWND w = CreateWindowEx(exStyle, cls, "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            nullptr, nullptr, nullptr, nullptr);
    ShowWindow(w, SW_SHOWNA);
    return w;
}

TEST(MenuShadowWindows, StripsStandBehindTheMenuLetClicksThroughAndAreMadeAgainOnEachChange) {
    HWND below = TopLevel(RECT{0, 0, 600, 500});
    HWND menu = TopLevel(RECT{100, 50, 220, 250}, WS_EX_TOPMOST);
    bars::TdxBarShadow shadow(menu, true);
    EXPECT_EQ(shadow.Size(), 4);
    shadow.SetRects(RECT{0, 0, 0, 0}, RECT{100, 50, 220, 250});
    ASSERT_EQ(shadow.PartCount(), 2);
    // Built hidden until the shadow is shown.
    EXPECT_FALSE(IsWindowVisible(shadow.Parts(0)->Handle()));
    shadow.SetVisible(true);
    std::vector<HWND> old;
    for (int i = 0; i < shadow.PartCount(); ++i) {
        HWND h = shadow.Parts(i)->Handle();
        old.push_back(h);
        EXPECT_TRUE(IsWindowVisible(h));
        RECT r{};
        GetWindowRect(h, r);
        EXPECT_EQ(r.left, shadow.Parts(i)->Strip().Bounds.left);
        EXPECT_EQ(r.bottom, shadow.Parts(i)->Strip().Bounds.bottom);
        const LONG ex = GetWindowLong(h, GWL_EXSTYLE);
        EXPECT_NE(ex & WS_EX_LAYERED, 0);
        // A topmost menu has topmost strips.
        EXPECT_NE(ex & WS_EX_TOPMOST, 0);
        EXPECT_EQ(GetWindow(h, GW_OWNER), menu);
    }
    // Right behind the menu in z-order, the two strips first.
    HWND next = GetWindow(menu, GW_HWNDNEXT);
    EXPECT_TRUE(next == old[0] || next == old[1]);
    // The pointer over a strip reaches the window below.
    const POINT onStrip{221, 150};
    EXPECT_EQ(SendMessage(old[1], WM_NCHITTEST, 0, PackPoint(onStrip)), HTTRANSPARENT);
    EXPECT_EQ(WindowFromPoint(onStrip), below);

    // A new place rebuilds every strip; hiding hides them all.
    shadow.SetRects(RECT{100, 30, 160, 50}, RECT{100, 50, 220, 250});
    for (HWND h : old)
        EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(shadow.PartCount(), 3);
    EXPECT_TRUE(IsWindowVisible(shadow.Parts(2)->Handle()));
    shadow.SetVisible(false);
    for (int i = 0; i < shadow.PartCount(); ++i)
        EXPECT_FALSE(IsWindowVisible(shadow.Parts(i)->Handle()));
    DestroyWindow(menu);
    DestroyWindow(below);
}

TEST(MenuShadowWindows, WithoutPerPixelAlphaTheStripsAreSolidTwoPixelBands) {
    HWND menu = TopLevel(RECT{100, 50, 220, 250});
    bars::TdxBarShadow shadow(menu, false);
    EXPECT_EQ(shadow.Size(), 2);
    // An entry only 3 pixels high: its right strip, fading at the top, is too short to show.
    shadow.SetRects(RECT{100, 47, 221, 50}, RECT{100, 50, 220, 250});
    ASSERT_EQ(shadow.PartCount(), 4);
    shadow.SetVisible(true);
    int shown = 0;
    for (int i = 0; i < shadow.PartCount(); ++i) {
        const bars::TdxBarShadowPart* part = shadow.Parts(i);
        EXPECT_EQ(GetWindowLong(part->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
        const RECT& b = part->Strip().Bounds;
        EXPECT_EQ(part->Vertical() ? b.right - b.left : b.bottom - b.top, 2);
        shown += IsWindowVisible(part->Handle()) ? 1 : 0;
    }
    EXPECT_FALSE(shadow.Parts(0)->Showable());
    EXPECT_FALSE(IsWindowVisible(shadow.Parts(0)->Handle()));
    EXPECT_EQ(shown, 3);
    DestroyWindow(menu);
}

} // namespace
