#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gui_test_support.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"

namespace {

// Fills the client with the class's colour (stored in the user data) and writes the window text.
LRESULT DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_PAINT) return DefWindowProc(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, ps);
    RECT r;
    GetClientRect(hwnd, r);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(hwnd, GWL_USERDATA)));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    std::string text = GetWindowText(hwnd);
    InflateRect(r, -6, -4);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(hwnd, ps);
    return 0;
}

HWND Make(DWORD exStyle, const char* text, DWORD style, RECT r, HWND parent, COLORREF colour) {
    HWND w = CreateWindowEx(exStyle, "GuiDemo", text, style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtr(w, GWL_USERDATA, static_cast<LONG_PTR>(colour));
    InvalidateRect(w, nullptr, TRUE_);
    return w;
}

} // namespace

TEST(Demo, WindowsFramesAndANonActivatingPopupOnScreen) {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DemoProc;
    wc.lpszClassName = "GuiDemo";
    RegisterClass(wc);

    HWND main =
        Make(0, "Main window: a popup with a sizing frame", WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN,
             RECT{40, 40, 520, 360}, nullptr, GetSysColor(COLOR_BTNFACE));
    HWND panel = Make(0, "A child window with its own caption, sizing frame and close button.",
                      WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, RECT{16, 16, 236, 166},
                      main, RGB(255, 255, 255));
    SetWindowText(panel, "Panel");
    Make(WS_EX_CLIENTEDGE, "Sunken client edge, like an edit box", WS_CHILD | WS_VISIBLE,
         RECT{252, 16, 460, 64}, main, GetSysColor(COLOR_WINDOW));
    Make(0, "Plain border", WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{252, 80, 460, 120}, main,
         RGB(200, 230, 255));
    HWND hidden = Make(0, "never shown", WS_CHILD, RECT{0, 0, 400, 300}, main, RGB(255, 0, 0));
    ShowWindow(main, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), main);

    HWND hint = Make(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                     "A hint popup: shown without taking activation", WS_POPUP | WS_BORDER,
                     RECT{300, 250, 560, 300}, main, GetSysColor(COLOR_INFOBK));
    ShowWindow(hint, SW_SHOWNA);
    pw::gui::SimulateClick(POINT{400, 270});
    gui_test::Pump();
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_TRUE(IsWindowVisible(hint));
    EXPECT_FALSE(IsWindowVisible(hidden));

    Surface screen = pw::gui::ComposeScreen(RECT{0, 0, 600, 400});
    auto argb = [](int colour) { return 0xFF000000u | pw::gdi::ToArgb(GetSysColor(colour)); };
    POINT panelCaption{40 + 4 + 16 + 4 + 60, 40 + 4 + 16 + 4 + 5};
    EXPECT_EQ(screen.Pixel(panelCaption.x, panelCaption.y), argb(COLOR_ACTIVECAPTION));
    EXPECT_EQ(screen.Pixel(310, 290), argb(COLOR_INFOBK)); // the hint lies over the main window
    EXPECT_EQ(screen.Pixel(300, 250), argb(COLOR_WINDOWFRAME));
    EXPECT_EQ(screen.Pixel(5, 5), argb(COLOR_DESKTOP));

    // Kept for a person to look at; the temporary folder, so a run from any folder leaves no files behind.
    std::string dir = std::filesystem::temp_directory_path().string();
    EXPECT_TRUE(pw::gui::SaveScreenImage(RECT{0, 0, 600, 400}, dir + "/gui_demo_screen.png"));
    EXPECT_TRUE(pw::gui::SaveWindowImage(main, dir + "/gui_demo_window.png"));
    DestroyWindow(hint);
    DestroyWindow(main);
    UnregisterClass("GuiDemo", nullptr);
}
