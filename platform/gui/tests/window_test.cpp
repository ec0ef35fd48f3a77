#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/regions.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"

using namespace gui_test;

namespace {

LRESULT HitAt(HWND w, int x, int y) {
    return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

} // namespace

TEST(Window, NonClientFramesShrinkTheClientAndAnswerHitTests) {
    int frame = GetSystemMetrics(SM_CXSIZEFRAME);
    int caption = GetSystemMetrics(SM_CYCAPTION);
    HWND parent = MakeTopLevel(RECT{100, 100, 500, 400}, WS_POPUP | WS_VISIBLE);
    HWND w = MakeChild(parent, RECT{10, 20, 210, 170},
                       WS_CHILD | WS_VISIBLE | WS_THICKFRAME | WS_CAPTION | WS_SYSMENU);
    RECT client;
    GetClientRect(w, client);
    EXPECT_EQ(client, (RECT{0, 0, 200 - 2 * frame, 150 - 2 * frame - caption}));
    POINT origin{0, 0};
    ClientToScreen(w, origin);
    EXPECT_EQ(origin, (POINT{110 + frame, 120 + frame + caption}));
    RECT wr;
    GetWindowRect(w, wr);
    EXPECT_EQ(wr, (RECT{110, 120, 310, 270}));
    POINT pts[2] = {{0, 0}, {5, 5}};
    MapWindowPoints(w, parent, pts, 2);
    EXPECT_EQ(pts[0], (POINT{10 + frame, 20 + frame + caption}));
    EXPECT_EQ(pts[1], (POINT{15 + frame, 25 + frame + caption}));
    POINT back = pts[0];
    ScreenToClient(w, back);
    EXPECT_EQ(back, (POINT{-100, -100})); // the parent lies at (100, 100) on the screen
    EXPECT_EQ(HitAt(w, 110, 120), HTTOPLEFT);
    EXPECT_EQ(HitAt(w, 309, 269), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(w, 110, 200), HTLEFT);
    EXPECT_EQ(HitAt(w, 309, 200), HTRIGHT);
    EXPECT_EQ(HitAt(w, 200, 120), HTTOP);
    EXPECT_EQ(HitAt(w, 200, 269), HTBOTTOM);
    EXPECT_EQ(HitAt(w, 200, 120 + frame + 2), HTCAPTION);
    EXPECT_EQ(HitAt(w, 310 - frame - 5, 120 + frame + 5), HTCLOSE);
    EXPECT_EQ(HitAt(w, 200, 200), HTCLIENT);
    EXPECT_EQ(HitAt(w, 50, 50), HTNOWHERE);
    HWND edged =
        MakeChild(parent, RECT{250, 20, 300, 70}, WS_CHILD | WS_VISIBLE | WS_BORDER, WS_EX_CLIENTEDGE);
    GetClientRect(edged, client);
    int edge = 1 + GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(client, (RECT{0, 0, 50 - 2 * edge, 50 - 2 * edge}));
    EXPECT_EQ(HitAt(edged, 100 + 250, 100 + 20), HTBORDER);
    // A procedure that answers WM_NCCALCSIZE itself decides the client area.
    HWND custom = MakeChild(parent, RECT{0, 200, 100, 260}, WS_CHILD);
    SetTestHandler(custom, [](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& r) {
        if (msg != WM_NCCALCSIZE || !wp) return false;
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lp);
        p->rgrc[0].left += 7;
        p->rgrc[0].bottom -= 3;
        r = 0;
        return true;
    });
    SetWindowPos(custom, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    GetClientRect(custom, client);
    EXPECT_EQ(client, (RECT{0, 0, 93, 57}));
}

TEST(Window, WindowFromPointFollowsZOrderAndSkipsWhatTheMouseCannotHit) {
    HWND back = MakeTopLevel(RECT{0, 0, 300, 300});
    HWND front = MakeTopLevel(RECT{100, 100, 200, 200});
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), front);
    SetWindowPos(back, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), back);
    HWND topmost = MakeTopLevel(RECT{140, 140, 160, 160}, WS_POPUP, WS_EX_TOPMOST);
    ShowWindow(topmost, SW_SHOWNA);
    SetWindowPos(front, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Topmost windows stay in front of every window that is not.
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), topmost);
    EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), front);
    SetWindowPos(topmost, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(topmost, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), front);
    HWND hidden = MakeChild(front, RECT{0, 0, 100, 100}, WS_CHILD);
    HWND glass = MakeChild(front, RECT{0, 0, 100, 100}, WS_CHILD | WS_VISIBLE, WS_EX_TRANSPARENT);
    HWND pane = MakeChild(front, RECT{0, 0, 50, 50});
    HWND passThrough = MakeChild(front, RECT{0, 0, 30, 30});
    SetTestHandler(passThrough, [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& r) {
        if (msg != WM_NCHITTEST) return false;
        r = HTTRANSPARENT;
        return true;
    });
    EXPECT_EQ(WindowFromPoint(POINT{110, 110}), pane);
    EXPECT_EQ(WindowFromPoint(POINT{170, 170}), front);
    EXPECT_EQ(ChildWindowFromPointEx(front, POINT{10, 10}, CWP_ALL), passThrough);
    EXPECT_EQ(ChildWindowFromPointEx(front, POINT{40, 40}, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT), pane);
    EXPECT_EQ(ChildWindowFromPointEx(front, POINT{70, 70}, CWP_ALL), glass);
    EXPECT_EQ(ChildWindowFromPointEx(front, POINT{70, 70}, CWP_SKIPTRANSPARENT), hidden);
    EXPECT_EQ(ChildWindowFromPointEx(front, POINT{70, 70}, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT), front);
    EXPECT_EQ(ChildWindowFromPointEx(front, POINT{500, 70}, CWP_ALL), nullptr);
    EnableWindow(pane, FALSE_);
    EXPECT_EQ(WindowFromPoint(POINT{140, 140}), front);
    EXPECT_EQ(GetParent(pane), front);
    EXPECT_TRUE(IsChild(back, pane) == FALSE_);
    EXPECT_EQ(GetAncestor(pane, GA_ROOT), front);
    EXPECT_EQ(GetAncestor(front, GA_PARENT), GetDesktopWindow());
}

// A box a dialog that stays on top raises lies in front of it and takes the pointer there; a window being
// dragged over the others is left out when asking which lies at a point.
TEST(Window, AWindowOwnedByOneThatStaysOnTopLiesInFrontOfItAndTheFrontmostAtAPointMayLeaveOneOut) {
    HWND main = MakeTopLevel(RECT{0, 0, 400, 400});
    HWND dialog = MakeTopLevel(RECT{100, 100, 300, 300}, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, 0, main);
    HWND box = MakeTopLevel(RECT{50, 150, 350, 250}, WS_POPUP | WS_VISIBLE, 0, 0, dialog);
    EXPECT_NE(GetWindowLong(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(WindowFromPoint(POINT{200, 200}), box);
    EXPECT_EQ(pw::gui::TopLevelAt(POINT{200, 200}), box);
    EXPECT_EQ(pw::gui::TopLevelAt(POINT{200, 200}, box), dialog);
    EXPECT_EQ(pw::gui::TopLevelAt(POINT{200, 120}, dialog), main);
    EXPECT_EQ(pw::gui::TopLevelAt(POINT{200, 120}, main), dialog);
    // One owned by a window that does not stay on top does not either.
    HWND tool = MakeTopLevel(RECT{0, 0, 50, 50}, WS_POPUP | WS_VISIBLE, 0, 0, main);
    EXPECT_EQ(GetWindowLong(tool, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(Window, ShapedWindowsAreHitOnlyInsideTheirRegion) {
    HWND w = MakeTopLevel(RECT{0, 0, 100, 100});
    SetWindowRgn(w, CreateRectRgn(0, 0, 50, 50), TRUE_);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), w);
    EXPECT_EQ(WindowFromPoint(POINT{80, 80}), nullptr);
}

TEST(Window, ReparentingMovesAWindowBetweenAParentAndTheDesktop) {
    HWND site = MakeTopLevel(RECT{100, 100, 400, 200});
    HWND bar = MakeChild(site, RECT{10, 10, 60, 30});
    EXPECT_EQ(SetParent(bar, nullptr), site);
    EXPECT_FALSE(IsChild(site, bar));
    EXPECT_EQ(GetAncestor(bar, GA_ROOT), bar);
    SetWindowPos(bar, nullptr, 500, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    GetWindowRect(bar, r);
    EXPECT_EQ(r, (RECT{500, 500, 550, 520}));
    EXPECT_EQ(SetParent(bar, site), GetDesktopWindow());
    EXPECT_TRUE(IsChild(site, bar));
    EXPECT_EQ(SetParent(site, bar), nullptr); // no cycles
    DestroyWindow(site);
    EXPECT_FALSE(IsWindow(bar));
}

TEST(Window, WindowLongsTextAndProcedureChains) {
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    static WNDPROC previous = nullptr;
    static int subclassCalls = 0;
    WNDPROC sub = [](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_USER + 77) ++subclassCalls;
        return CallWindowProc(previous, h, m, wp, lp);
    };
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtr(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(sub)));
    ASSERT_NE(previous, nullptr);
    Log().clear();
    SendMessage(w, WM_USER + 77, 0, 0);
    EXPECT_EQ(subclassCalls, 1);
    EXPECT_EQ(MessagesOf(w, {WM_USER + 77}).size(), 1u); // the old procedure still ran
    SetWindowLongPtr(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    SetWindowText(w, "Caption \xc3\xa9");
    EXPECT_EQ(GetWindowText(w), "Caption \xc3\xa9");
    EXPECT_EQ(GetWindowTextLength(w), 10);
    char small[4];
    EXPECT_EQ(GetWindowText(w, small, 4), 3);
    EXPECT_STREQ(small, "Cap");
}

TEST(Window, ShowMaximizeAndRestore) {
    pw::gui::SetScreens({pw::gui::ScreenInfo{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}}});
    HWND w = MakeTopLevel(RECT{10, 10, 110, 60}, WS_POPUP);
    EXPECT_FALSE(ShowWindow(w, SW_SHOWNA));
    EXPECT_TRUE(IsWindowVisible(w));
    ShowWindow(w, SW_MAXIMIZE);
    RECT r;
    GetWindowRect(w, r);
    EXPECT_EQ(r, (RECT{0, 0, 1024, 740}));
    EXPECT_TRUE(IsZoomed(w));
    ShowWindow(w, SW_RESTORE);
    GetWindowRect(w, r);
    EXPECT_EQ(r, (RECT{10, 10, 110, 60}));
    HWND child = MakeChild(w, RECT{0, 0, 10, 10});
    HWND later = MakeChild(w, RECT{0, 0, 10, 10});
    ShowWindow(child, SW_HIDE);
    ShowWindow(child, SW_SHOW);
    EXPECT_EQ(GetWindow(later, GW_HWNDNEXT), child); // showing did not reorder the siblings
    ShowWindow(w, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child)); // visibility needs every ancestor
    EXPECT_TRUE(GetWindowLong(child, GWL_STYLE) & WS_VISIBLE);
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfo(MonitorFromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONEAREST), mi));
    EXPECT_EQ(mi.rcWork, (RECT{0, 0, 1024, 740}));
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 5000}, MONITOR_DEFAULTTONULL), nullptr);
}

TEST(Window, LayeredAlphaNeedsTheLayeredStyle) {
    HWND plain = MakeTopLevel(RECT{0, 0, 10, 10});
    EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
    SetWindowLong(plain, GWL_EXSTYLE, GetWindowLong(plain, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_LAYERED));
    EXPECT_TRUE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
}

TEST(Window, CursorsFromImagesAndSoundsThatOnlyTestsHear) {
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HCURSOR custom = CreateCursorFromBitmap(image, 3, 4);
    ASSERT_NE(custom, nullptr);
    EXPECT_NE(pw::gui::CursorId(custom), IDC_ARROW);
    EXPECT_EQ(CreateCursorFromBitmap(nullptr, 0, 0), nullptr);
    EXPECT_TRUE(DestroyCursor(custom));
    EXPECT_FALSE(DestroyCursor(custom));
    DeleteObject(image);
    EXPECT_EQ(LoadCursor(nullptr, 12345), nullptr);

    std::vector<std::string> heard;
    pw::gui::SetSoundSink([&](const std::string& s) { heard.push_back(s); });
    PlaySound("MenuPopup", nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
    MessageBeep(0);
    pw::gui::SetSoundSink(nullptr);
    EXPECT_EQ(heard, (std::vector<std::string>{"MenuPopup", "Beep"}));
}
