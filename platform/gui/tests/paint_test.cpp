#include <gtest/gtest.h>

#include <chrono>

#include "gui_test_support.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/layered.h"
#include "platform/gui/paint.h"

using namespace gui_test;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// Paints its whole client area in one colour on WM_PAINT and on WM_PRINTCLIENT.
HWND Painter(HWND parent, RECT r, COLORREF colour, DWORD style = 0, DWORD exStyle = 0) {
    HWND w = parent ? MakeChild(parent, r, WS_CHILD | WS_VISIBLE | style, exStyle)
                    : MakeTopLevel(r, WS_POPUP | WS_VISIBLE | style, exStyle);
    SetTestHandler(w, [colour](HWND h, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
        if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return false;
        RECT client;
        GetClientRect(h, client);
        HBRUSH brush = CreateSolidBrush(colour);
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, ps);
            FillRect(dc, &client, brush);
            EndPaint(h, ps);
        } else {
            FillRect(reinterpret_cast<HDC>(wp), &client, brush);
        }
        DeleteObject(brush);
        result = 0;
        return true;
    });
    return w;
}

uint32_t At(HWND w, int x, int y) {
    return pw::gui::WindowSurface(w)->Pixel(x, y);
}

const char* BlueClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASS wc;
        wc.lpfnWndProc = DefWindowProc;
        wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
        wc.lpszClassName = "GuiTestBlue";
        RegisterClass(wc);
        registered = true;
    }
    return "GuiTestBlue";
}

} // namespace

TEST(Paint, BeginPaintClipsToTheInvalidRegionOnly) {
    HWND w = Painter(nullptr, RECT{0, 0, 100, 80}, RGB(255, 0, 0));
    Pump();
    EXPECT_EQ(At(w, 50, 50), kRed);
    // Overwrite the image, then repaint a part: only that part turns red again.
    HDC dc = GetDC(w);
    RECT all{0, 0, 100, 80};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    ReleaseDC(w, dc);
    RECT part{10, 10, 20, 20};
    InvalidateRect(w, &part, FALSE_);
    RECT other{30, 30, 40, 40};
    InvalidateRect(w, &other, FALSE_);
    RECT box;
    EXPECT_TRUE(GetUpdateRect(w, &box, FALSE_));
    EXPECT_EQ(box, (RECT{10, 10, 40, 40}));
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(w, update, FALSE_), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(update, 15, 15));
    EXPECT_FALSE(PtInRegion(update, 25, 25));
    // Validating a region removes exactly its pixels; invalidating one adds them back.
    ValidateRgn(w, update);
    EXPECT_FALSE(GetUpdateRect(w, &box, FALSE_));
    InvalidateRgn(w, update, FALSE_);
    DeleteObject(update);
    ValidateRect(w, &other);
    EXPECT_TRUE(GetUpdateRect(w, &box, FALSE_));
    EXPECT_EQ(box, part);
    Pump();
    EXPECT_EQ(At(w, 10, 10), kRed);
    EXPECT_EQ(At(w, 19, 19), kRed);
    EXPECT_EQ(At(w, 20, 20), kGreen);
    EXPECT_EQ(At(w, 35, 35), kGreen);
    EXPECT_FALSE(GetUpdateRect(w, &box, FALSE_));
}

// Damage inside a rectangle already damaged leaves the update region as it was; damage that reaches
// past it, or that lies across two damaged rectangles, makes it their union; the paint covers it all.
TEST(Paint, DamageInsideDamageChangesNothingAndDamageBeyondItAdds) {
    HWND w = Painter(nullptr, RECT{0, 0, 60, 40}, RGB(255, 0, 0));
    Pump();
    HDC dc = GetDC(w);
    RECT all{0, 0, 60, 40};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    ReleaseDC(w, dc);
    const auto update = [w] {
        HRGN r = CreateRectRgn(0, 0, 0, 0);
        GetUpdateRgn(w, r, FALSE_);
        return r;
    };
    RECT left{0, 0, 20, 20}, right{20, 0, 40, 10}, inside{5, 5, 15, 15}, across{10, 2, 30, 8};
    InvalidateRect(w, &left, FALSE_);
    InvalidateRect(w, &right, FALSE_);
    HRGN before = update();
    InvalidateRect(w, &inside, FALSE_);
    InvalidateRect(w, &left, FALSE_);
    HRGN same = update();
    EXPECT_TRUE(EqualRgn(before, same));
    InvalidateRect(w, &across, FALSE_);
    HRGN still = update();
    EXPECT_TRUE(EqualRgn(before, still));
    RECT beyond{15, 15, 50, 30};
    InvalidateRect(w, &beyond, FALSE_);
    HRGN grown = update();
    EXPECT_TRUE(PtInRegion(grown, 45, 25));
    EXPECT_TRUE(PtInRegion(grown, 5, 5));
    EXPECT_TRUE(PtInRegion(grown, 35, 5));
    EXPECT_FALSE(PtInRegion(grown, 45, 12));
    EXPECT_FALSE(PtInRegion(grown, 5, 35));
    for (HRGN r : {before, same, still, grown})
        DeleteObject(r);
    Pump();
    EXPECT_EQ(At(w, 45, 25), kRed);
    EXPECT_EQ(At(w, 35, 5), kRed);
    EXPECT_EQ(At(w, 1, 1), kRed);
    EXPECT_EQ(At(w, 45, 12), kGreen);
    EXPECT_EQ(At(w, 5, 35), kGreen);
    DestroyWindow(w);
}

// Damage to windows nobody can see wakes no waiting loop, which would find nothing to paint; showing
// them brings their paint.
TEST(Paint, HiddenDamageWakesNoWaitAndShowingBringsThePaint) {
    using Clock = std::chrono::steady_clock;
    HWND top = Painter(nullptr, RECT{0, 0, 20, 20}, RGB(255, 0, 0));
    HWND child = Painter(top, RECT{2, 2, 10, 10}, RGB(0, 255, 0));
    ShowWindow(top, SW_HIDE);
    ProcessMessages();
    const auto start = Clock::now();
    const UINT_PTR timer = SetTimer(top, 9, 60, nullptr);
    ASSERT_NE(timer, 0u);
    WaitMessage(); // the wake-up of setting the timer
    InvalidateRect(top, nullptr, TRUE_);
    InvalidateRect(child, nullptr, TRUE_);
    EXPECT_EQ(GetQueueStatus(QS_PAINT), 0u);
    EXPECT_TRUE(WaitMessage());
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(50));
    KillTimer(top, timer);

    ShowWindow(top, SW_SHOWNA);
    EXPECT_NE(GetQueueStatus(QS_PAINT), 0u);
    ProcessMessages();
    EXPECT_EQ(At(top, 15, 15), kRed);
    EXPECT_EQ(At(top, 5, 5), kGreen);
    // A hidden child of a shown window is unseen too, until it is shown.
    ShowWindow(child, SW_HIDE);
    ProcessMessages();
    InvalidateRect(child, nullptr, TRUE_);
    EXPECT_EQ(GetQueueStatus(QS_PAINT), 0u);
    ShowWindow(child, SW_SHOWNA);
    EXPECT_NE(GetQueueStatus(QS_PAINT), 0u);
    ProcessMessages();
    EXPECT_EQ(At(top, 5, 5), kGreen);
    DestroyWindow(top);
}

TEST(Paint, EraseFillsWithTheClassBrushAndRedrawCanBeSwitchedOff) {
    HWND w = CreateWindowEx(0, BlueClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                            nullptr, nullptr);
    Pump();
    EXPECT_EQ(At(w, 5, 5), kBlue);
    SendMessage(w, WM_SETREDRAW, FALSE_, 0);
    HDC dc = GetDC(w);
    RECT all{0, 0, 40, 40};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOWTEXT));
    ReleaseDC(w, dc);
    InvalidateRect(w, nullptr, TRUE_);
    Pump();
    EXPECT_EQ(At(w, 5, 5), 0xFF000000u);
    SendMessage(w, WM_SETREDRAW, TRUE_, 0);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(At(w, 5, 5), kBlue);
    DestroyWindow(w);
}

TEST(Paint, ChildrenAndFramesAreDrawnOverTheirParent) {
    HWND parent = Painter(nullptr, RECT{0, 0, 100, 100}, RGB(255, 0, 0));
    HWND child = Painter(parent, RECT{10, 10, 40, 40}, RGB(0, 255, 0), WS_BORDER);
    HWND hidden = Painter(parent, RECT{50, 50, 60, 60}, RGB(0, 0, 255));
    ShowWindow(hidden, SW_HIDE);
    Pump();
    Surface screen = pw::gui::ComposeWindow(parent);
    EXPECT_EQ(screen.Pixel(5, 5), kRed);
    EXPECT_EQ(screen.Pixel(10, 10), 0xFF000000u | pw::gdi::ToArgb(GetSysColor(COLOR_WINDOWFRAME)))
        << "border";
    EXPECT_EQ(screen.Pixel(20, 20), kGreen);
    EXPECT_EQ(screen.Pixel(55, 55), kRed);
    EXPECT_EQ(At(child, 0, 0), screen.Pixel(10, 10));
    // A child moved away leaves its parent's own pixels, which were never painted over.
    MoveWindow(child, 60, 10, 30, 30, TRUE_);
    Pump();
    screen = pw::gui::ComposeWindow(parent);
    EXPECT_EQ(screen.Pixel(20, 20), kRed);
    EXPECT_EQ(screen.Pixel(70, 20), kGreen);
    // Children are clipped to their parent's client area.
    MoveWindow(child, 90, 90, 30, 30, TRUE_);
    Pump();
    EXPECT_EQ(pw::gui::ComposeWindow(parent).Width(), 100);
}

TEST(Paint, PrintRendersTheWindowAndItsChildrenIntoAnyDC) {
    HWND parent = Painter(nullptr, RECT{200, 200, 260, 260}, RGB(255, 0, 0), WS_BORDER);
    Painter(parent, RECT{10, 10, 20, 20}, RGB(0, 0, 255));
    Pump();
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 60, 60);
    HGDIOBJ old = SelectObject(mem, bmp);
    SendMessage(parent, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(GetPixel(mem, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 1 + 10 + 5, 1 + 10 + 5), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TEST(Paint, AllChildrenRedrawAtOnceWhenAsked) {
    HWND parent = Painter(nullptr, RECT{0, 0, 50, 50}, RGB(255, 0, 0));
    HWND child = Painter(parent, RECT{0, 0, 10, 10}, RGB(0, 255, 0));
    Pump();
    Log().clear();
    RedrawWindow(parent, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(MessagesOf(nullptr, {WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_PAINT}));
    EXPECT_EQ(MessagesOf(child, {WM_PAINT}).size(), 1u);
    MSG msg;
    EXPECT_FALSE(PeekMessage(msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    // Parents come first, but a filter for the child finds the child.
    RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    ASSERT_TRUE(PeekMessage(msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, parent);
    ASSERT_TRUE(PeekMessage(msg, child, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(msg.hwnd, child);
}

TEST(Paint, LayeredWindowsBlendTheirImageOverWhatLiesBelow) {
    HWND below = Painter(nullptr, RECT{500, 500, 540, 540}, RGB(255, 0, 0));
    HWND strip = MakeTopLevel(RECT{500, 500, 504, 520}, WS_POPUP, WS_EX_LAYERED | WS_EX_TRANSPARENT);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 4, 20);
    HGDIOBJ old = SelectObject(mem, bmp);
    // Half-transparent black, premultiplied: 0x80000000.
    Surface* bits = GetDCSurface(mem);
    ASSERT_NE(bits, nullptr);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 4; ++x)
            bits->SetPixel(x, y, 0x80000000u);
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = 255;
    blend.AlphaFormat = AC_SRC_ALPHA;
    SIZE size{4, 20};
    POINT origin{0, 0};
    EXPECT_FALSE(UpdateLayeredWindow(below, nullptr, nullptr, &size, mem, &origin, 0, &blend, ULW_ALPHA));
    EXPECT_TRUE(UpdateLayeredWindow(strip, nullptr, nullptr, &size, mem, &origin, 0, &blend, ULW_ALPHA));
    SetWindowPos(strip, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    Surface shown = pw::gui::ComposeScreen(RECT{500, 500, 540, 540});
    EXPECT_EQ(shown.Pixel(1, 1), 0xFF7F0000u);
    EXPECT_EQ(shown.Pixel(10, 1), kRed);
    EXPECT_EQ(WindowFromPoint(POINT{501, 501}), below); // transparent to the mouse
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}
