// The backing store kept up to date by damage alone matches a composition from scratch, whatever the
// windows inside did: created, moved, resized, restacked, hidden, shown, scrolled, invalidated, destroyed.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "gui_test_support.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/stock.h"
#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"

using namespace gui_test;

namespace {

// What a window draws: stripes in its own colours that follow its scroll position, so pixels moved by
// scrolling and pixels drawn again agree only when both are right.
struct Content {
    COLORREF light, dark;
    int scrollY = 0;
};

std::map<HWND, Content>& Contents() {
    static std::map<HWND, Content> contents;
    return contents;
}

void DrawContent(HWND h, HDC dc) {
    const Content& c = Contents()[h];
    RECT client;
    GetClientRect(h, client);
    for (int y = 0; y < client.bottom; ++y) {
        const int band = ((y + c.scrollY) % 8 + 8) % 8;
        HBRUSH brush = CreateSolidBrush(band < 4 ? c.light : c.dark);
        RECT row{0, y, client.right, y + 1};
        FillRect(dc, &row, brush);
        DeleteObject(brush);
    }
}

HWND Striped(HWND parent, RECT r, DWORD style, std::mt19937& random) {
    HWND h =
        parent ? MakeChild(parent, r, WS_CHILD | WS_CLIPSIBLINGS | style) : MakeTopLevel(r, WS_POPUP | style);
    std::uniform_int_distribution<int> colour(0, 255);
    Contents()[h] = Content{RGB(colour(random), colour(random), 255), RGB(colour(random), colour(random), 0)};
    SetTestHandler(h, [](HWND w, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, ps);
            DrawContent(w, dc);
            EndPaint(w, ps);
        } else if (msg == WM_PRINTCLIENT) {
            DrawContent(w, reinterpret_cast<HDC>(wp));
        } else if (msg == WM_ERASEBKGND) {
            result = 1;
            return true;
        } else {
            return false;
        }
        result = 0;
        return true;
    });
    return h;
}

// The whole window drawn again from nothing, every window over its parent in stacking order.
Surface FromScratch(HWND top) {
    RECT r;
    GetWindowRect(top, r);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
    HGDIOBJ old = SelectObject(mem, bitmap);
    SendMessage(top, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
    Surface out = *GetDCSurface(mem);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return out;
}

int DifferentPixels(const Surface& a, const Surface& b, POINT& first) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return -1;
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF) && n++ == 0) first = POINT{x, y};
    return n;
}

} // namespace

TEST(BackingStore, DamageAloneKeepsTheStoreAsAFullRedrawWouldMakeIt) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&random](int from, int to) {
            return std::uniform_int_distribution<int>(from, to)(random);
        };
        const auto maybe = [&](DWORD style) { return pick(0, 1) ? style : 0; };
        HWND top = Striped(nullptr, RECT{0, 0, 160, 120}, WS_VISIBLE | maybe(WS_CLIPCHILDREN), random);
        std::vector<HWND> windows{top};
        Pump();
        for (int step = 0; step < 80; ++step) {
            HWND w = windows[pick(0, static_cast<int>(windows.size()) - 1)];
            const bool child = w != top;
            const int x = pick(-20, 140), y = pick(-20, 100), cx = pick(0, 90), cy = pick(0, 70);
            std::string what;
            switch (pick(0, 7)) {
            case 0:
            case 1:
                if (windows.size() < 14) {
                    windows.push_back(Striped(w, RECT{x, y, x + cx, y + cy},
                                              WS_VISIBLE | maybe(WS_CLIPCHILDREN) | maybe(WS_BORDER),
                                              random));
                    what = "create";
                }
                break;
            case 2:
                if (child) {
                    SetWindowPos(w, nullptr, x, y, cx, cy,
                                 SWP_NOZORDER | SWP_NOACTIVATE | (pick(0, 1) ? SWP_NOSIZE : 0));
                    what = "move";
                }
                break;
            case 3:
                if (child) {
                    HWND after = pick(0, 2) == 0 ? HWND_TOP
                                 : pick(0, 1)    ? HWND_BOTTOM
                                                 : windows[pick(1, static_cast<int>(windows.size()) - 1)];
                    if (after != w)
                        SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                    what = "restack";
                }
                break;
            case 4:
                if (child) {
                    ShowWindow(w, IsWindowVisible(w) || pick(0, 1) ? SW_HIDE : SW_SHOWNA);
                    what = "show/hide";
                }
                break;
            case 5: {
                const int dy = pick(-12, 12);
                ScrollWindowEx(w, 0, dy, nullptr, nullptr, nullptr, nullptr,
                               SW_INVALIDATE | SW_ERASE | maybe(SW_SCROLLCHILDREN));
                Contents()[w].scrollY -= dy;
                what = "scroll";
                break;
            }
            case 6: {
                RECT r{x, y, x + cx, y + cy};
                InvalidateRect(w, &r, pick(0, 1));
                what = "invalidate";
                break;
            }
            case 7:
                if (child && pick(0, 2) == 0) {
                    DestroyWindow(w);
                    std::erase_if(windows, [](HWND h) { return !IsWindow(h); });
                    what = "destroy";
                }
                break;
            }
            Pump();
            POINT at{};
            const int wrong = DifferentPixels(pw::gui::ComposeWindow(top), FromScratch(top), at);
            ASSERT_EQ(wrong, 0) << "seed " << seed << ", step " << step << " (" << what << "), first at "
                                << at.x << "," << at.y;
        }
        DestroyWindow(top);
        Contents().clear();
    }
}

TEST(BackingStore, HiddenWindowsAndTheirChildrenPaintNothing) {
    std::mt19937 random(7);
    HWND top = Striped(nullptr, RECT{0, 0, 100, 100}, WS_VISIBLE | WS_CLIPCHILDREN, random);
    HWND page = Striped(top, RECT{10, 10, 90, 90}, WS_VISIBLE | WS_CLIPCHILDREN, random);
    HWND inner = Striped(page, RECT{5, 5, 50, 50}, WS_VISIBLE, random);
    Pump();
    ShowWindow(page, SW_HIDE);
    Pump();
    const Surface before = pw::gui::ComposeWindow(top);
    const long long copied = pw::gui::PixelsCopiedToScreen();
    Log().clear();
    InvalidateRect(inner, nullptr, TRUE_);
    HDC dc = GetDC(inner);
    RECT all{0, 0, 45, 45};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(inner, dc);
    Pump();
    POINT at{};
    EXPECT_EQ(DifferentPixels(before, pw::gui::ComposeWindow(top), at), 0);
    EXPECT_TRUE(MessagesOf(inner, {WM_PAINT}).empty());
    EXPECT_EQ(pw::gui::PixelsCopiedToScreen(), copied);
    // Shown again, the page and what it holds paint their whole area.
    ShowWindow(page, SW_SHOWNA);
    Pump();
    EXPECT_EQ(MessagesOf(inner, {WM_PAINT}).size(), 1u);
    EXPECT_EQ(DifferentPixels(pw::gui::ComposeWindow(top), FromScratch(top), at), 0);
    DestroyWindow(top);
    Contents().clear();
}

// A form is laid out and its controls drawn before it is shown, and an unattended run never shows it:
// the hidden window keeps no pixels for that, and once shown it is whole, as a full redraw makes it.
TEST(BackingStore, AHiddenWindowKeepsNoPixelsAndIsPaintedWholeWhenShown) {
    std::mt19937 random(5);
    HWND top = Striped(nullptr, RECT{0, 0, 120, 90}, WS_CLIPCHILDREN, random);
    HWND inner = Striped(top, RECT{10, 10, 70, 60}, WS_VISIBLE, random);
    SetWindowPos(top, nullptr, 0, 0, 140, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(top, nullptr, 0, 0, 130, 110, SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(inner);
    HDC dc = GetDC(inner);
    RECT all{0, 0, 60, 50};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(inner, dc);
    Pump();
    const Surface* store = pw::gui::WindowSurface(top);
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(store->Allocated());
    EXPECT_EQ(store->Width(), 130);
    EXPECT_EQ(store->Height(), 110);
    Log().clear();
    ShowWindow(top, SW_SHOWNA);
    Pump();
    EXPECT_EQ(MessagesOf(inner, {WM_PAINT}).size(), 1u);
    POINT at{};
    EXPECT_EQ(DifferentPixels(pw::gui::ComposeWindow(top), FromScratch(top), at), 0)
        << "first at " << at.x << "," << at.y;
    DestroyWindow(top);
    Contents().clear();
}

TEST(BackingStore, UpdateWindowPaintsTheWindowsInsideToo) {
    std::mt19937 random(3);
    HWND top = Striped(nullptr, RECT{0, 0, 100, 100}, WS_VISIBLE | WS_CLIPCHILDREN, random);
    HWND panel = Striped(top, RECT{10, 10, 90, 90}, WS_VISIBLE, random); // paints under its children
    HWND inner = Striped(panel, RECT{5, 5, 50, 50}, WS_VISIBLE | WS_CLIPCHILDREN, random);
    Striped(inner, RECT{2, 2, 20, 20}, WS_VISIBLE, random);
    Pump();
    InvalidateRect(panel, nullptr, TRUE_);
    UpdateWindow(panel);
    // Read at once, before the message loop runs: nothing of the panel's paint shows through.
    POINT at{};
    EXPECT_EQ(DifferentPixels(pw::gui::ComposeWindow(top), FromScratch(top), at), 0)
        << "first at " << at.x << "," << at.y;
    DestroyWindow(top);
    Contents().clear();
}

// A window that does not clip its children paints, and then they paint over it: the host gets the
// area once, when no window is left to paint, not once per window.
TEST(BackingStore, AWindowPaintedInPartsIsHandedOverOnce) {
    std::mt19937 random(3);
    HWND top = Striped(nullptr, RECT{0, 0, 100, 80}, WS_VISIBLE, random);
    Striped(top, RECT{10, 10, 60, 50}, WS_VISIBLE, random);
    Striped(top, RECT{30, 20, 90, 70}, WS_VISIBLE, random);
    Pump();
    const long long before = pw::gui::PixelsCopiedToScreen();
    InvalidateRect(top, nullptr, FALSE_);
    Pump();
    EXPECT_EQ(pw::gui::PixelsCopiedToScreen() - before, 100 * 80);
    DestroyWindow(top);
    Contents().clear();
}
