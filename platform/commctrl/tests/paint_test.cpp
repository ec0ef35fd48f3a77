#include <gtest/gtest.h>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

// A parent that paints a control into its own paint hands it a DC in WM_PAINT's wParam; the control
// must draw there rather than on a DC of its own.
TEST(Paint, EveryClassDrawsOnTheDcItIsGiven) {
    Host host;
    struct Case {
        const char* cls;
        DWORD style;
    };
    const Case cases[] = {
        {"BUTTON", BS_PUSHBUTTON}, {"BUTTON", BS_GROUPBOX},   {"STATIC", SS_LEFT},
        {"EDIT", WS_BORDER},       {"LISTBOX", WS_BORDER},    {"COMBOBOX", CBS_DROPDOWNLIST},
        {WC_TREEVIEW, WS_BORDER},  {WC_LISTVIEW, LVS_REPORT}, {WC_TABCONTROL, 0},
        {PROGRESS_CLASS, 0},       {STATUSCLASSNAME, 0}};
    const COLORREF marker = RGB(1, 2, 3);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 40);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(marker);
    for (const Case& c : cases) {
        HWND w = host.Add(c.cls, "Text", c.style, RECT{10, 10, 130, 50});
        RECT all{0, 0, 120, 40};
        FillRect(dc, &all, brush);
        Send(w, WM_PAINT, reinterpret_cast<WPARAM>(dc));
        int untouched = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 120; ++x)
                if (GetPixel(dc, x, y) == marker) ++untouched;
        EXPECT_LT(untouched, 120 * 20) << c.cls << " " << c.style;
        DestroyWindow(w);
    }
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(dc);
}
