// What a window draws reaches an X server's screen as it was drawn, with the X server a real one started
// by the test: the pixels of a small change and of a band across the whole window land where they were
// drawn, and nothing beside them moves; a part another window uncovers, or a window grown, shows what was
// drawn last and not what the toolkit held before.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/qt/gui_application.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/wait.h"

#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

namespace {

// Each window paints its client in the colour it keeps, and the rectangle it keeps in a second colour
// that changes from row to row.
struct Look {
    COLORREF back = RGB(90, 90, 90);
    COLORREF mark = RGB(0, 0, 200);
    RECT markRect{0, 0, 0, 0};
} look;

COLORREF MarkAt(int y) {
    return RGB(GetRValue(look.mark), y & 0xFF, GetBValue(look.mark));
}

LRESULT PaintProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, ps);
    RECT r;
    GetClientRect(hwnd, r);
    HBRUSH back = CreateSolidBrush(look.back);
    FillRect(dc, &r, back);
    DeleteObject(back);
    for (int y = look.markRect.top; y < look.markRect.bottom; ++y) {
        HBRUSH mark = CreateSolidBrush(MarkAt(y));
        const RECT row{look.markRect.left, y, look.markRect.right, y + 1};
        FillRect(dc, &row, mark);
        DeleteObject(mark);
    }
    EndPaint(hwnd, ps);
    return 0;
}

// The screen's pixel as 0x00RRGGBB, read through a connection of the test's own.
class Screen {
public:
    explicit Screen(const std::string& display) : c_(xcb_connect(display.c_str(), nullptr)) {}
    ~Screen() { xcb_disconnect(c_); }
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    uint32_t At(int x, int y) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        xcb_get_image_reply_t* image =
            xcb_get_image_reply(c_,
                                xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root, static_cast<int16_t>(x),
                                              static_cast<int16_t>(y), 1, 1, ~0u),
                                nullptr);
        if (image == nullptr) return 0xFFFFFFFFu;
        uint32_t pixel = 0;
        std::memcpy(&pixel, xcb_get_image_data(image), 4);
        std::free(image);
        return pixel & 0x00FFFFFFu;
    }

    // A window of the test's own mapped over the area and taken away again (no window manager here).
    void CoverAndUncover(int x, int y, int w, int h) {
        const xcb_window_t cover = xcb_generate_id(c_);
        const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, cover, root->root, static_cast<int16_t>(x),
                          static_cast<int16_t>(y), static_cast<uint16_t>(w), static_cast<uint16_t>(h), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, root->root_visual, XCB_CW_BACK_PIXEL,
                          &root->white_pixel);
        xcb_map_window(c_, cover);
        Sync();
        xcb_destroy_window(c_, cover);
        Sync();
    }

private:
    void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }
    xcb_connection_t* c_;
};

uint32_t Rgb(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
           GetBValue(c);
}

// Runs the loop until the screen shows the colour at the point (at most the wait limit).
bool Shows(Screen& screen, int x, int y, COLORREF colour) {
    return testsupport::WaitUntil([&] {
        MSG msg;
        while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(msg);
        pw::gui::PaintPendingWindows();
        return screen.At(x, y) == Rgb(colour);
    });
}

TEST(X11Present, WhatAWindowDrawsIsWhatTheScreenShowsWhereItWasDrawn) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    const testsupport::XServer xvfb("400x300x24");
    ASSERT_EQ(xvfb.Problem(), "");
    const std::string display = xvfb.Display();
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int argc = 1;
    char name[] = "x11_present_test";
    char* argv[] = {name, nullptr};
    auto app = std::make_unique<pw::gui::GuiApplication>(argc, argv);
    WNDCLASS wc;
    wc.lpfnWndProc = PaintProc;
    wc.lpszClassName = "X11PresentTest";
    RegisterClass(wc);
    // No window manager: the window stands where it was put.
    HWND w = CreateWindowEx(0, "X11PresentTest", "", WS_POPUP, 20, 30, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
    ShowWindow(w, SW_SHOW);
    Screen screen(display);
    ASSERT_TRUE(Shows(screen, 20 + 150, 30 + 100, look.back));

    // A small change inside the window, then a band across all of it.
    look.mark = RGB(0, 0, 200);
    look.markRect = RECT{40, 50, 60, 58};
    InvalidateRect(w, &look.markRect, FALSE_);
    ASSERT_TRUE(Shows(screen, 20 + 40, 30 + 50, MarkAt(50)));
    EXPECT_EQ(screen.At(20 + 59, 30 + 57), Rgb(MarkAt(57)));
    EXPECT_EQ(screen.At(20 + 60, 30 + 57), Rgb(look.back));
    EXPECT_EQ(screen.At(20 + 59, 30 + 58), Rgb(look.back));
    EXPECT_EQ(screen.At(20 + 39, 30 + 50), Rgb(look.back));
    look.mark = RGB(180, 0, 0);
    look.markRect = RECT{0, 120, 300, 190};
    InvalidateRect(w, &look.markRect, FALSE_);
    ASSERT_TRUE(Shows(screen, 20 + 299, 30 + 189, MarkAt(189)));
    EXPECT_EQ(screen.At(20, 30 + 120), Rgb(MarkAt(120)));
    EXPECT_EQ(screen.At(20 + 150, 30 + 155), Rgb(MarkAt(155)));
    EXPECT_EQ(screen.At(20, 30 + 119), Rgb(look.back));
    EXPECT_EQ(screen.At(20 + 150, 30 + 190), Rgb(look.back));
    EXPECT_EQ(screen.At(20 + 300, 30 + 150), 0u) << "nothing beside the window";
    EXPECT_EQ(screen.At(20 + 40, 30 + 52), Rgb(RGB(0, 52, 200))) << "the earlier change stays";

    // Another window over both changes goes away: the uncovered part shows them, not the plain colour
    // the toolkit painted first.
    screen.CoverAndUncover(20 + 30, 30 + 40, 200, 160);
    EXPECT_TRUE(Shows(screen, 20 + 40, 30 + 52, RGB(0, 52, 200)));
    EXPECT_TRUE(Shows(screen, 20 + 150, 30 + 155, MarkAt(155)));

    // Grown with the band moved, then covered whole and uncovered again.
    look.markRect = RECT{0, 200, 340, 230};
    SetWindowPos(w, nullptr, 0, 0, 340, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(w, nullptr, FALSE_);
    ASSERT_TRUE(Shows(screen, 20 + 339, 30 + 229, MarkAt(229)));
    EXPECT_TRUE(Shows(screen, 20 + 150, 30 + 155, look.back));
    screen.CoverAndUncover(0, 0, 400, 300);
    EXPECT_TRUE(Shows(screen, 20 + 320, 30 + 210, MarkAt(210)));
    EXPECT_TRUE(Shows(screen, 20 + 150, 30 + 155, look.back));
    DestroyWindow(w);
    app.reset();
}

} // namespace
#endif
