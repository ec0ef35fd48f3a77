#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/png_io.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/sync.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

uint32_t Argb(COLORREF c) {
    return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

// Pixels of the composed host inside a control's client rectangle, with a given colour.
int CountColor(const Surface& s, HWND host, HWND control, RECT part, uint32_t argb) {
    POINT origin{part.left, part.top};
    MapWindowPoints(control, host, &origin, 1);
    POINT hostClient{0, 0};
    ClientToScreen(host, hostClient);
    RECT hostWindow;
    GetWindowRect(host, hostWindow);
    const int dx = hostClient.x - hostWindow.left, dy = hostClient.y - hostWindow.top;
    int n = 0;
    for (int y = 0; y < part.bottom - part.top; ++y)
        for (int x = 0; x < part.right - part.left; ++x) {
            const int px = origin.x + dx + x, py = origin.y + dy + y;
            if (s.Contains(px, py) && s.Pixel(px, py) == argb) ++n;
        }
    return n;
}

HBITMAP TwoColourIcons() {
    // Two 12x12 images side by side: a red square and a blue one, on a magenta key colour.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 12);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 24, 12}, red{2, 2, 10, 10}, blue{14, 2, 22, 10};
    HBRUSH key = CreateSolidBrush(RGB(255, 0, 255)), r = CreateSolidBrush(RGB(255, 0, 0)),
           b = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, key);
    FillRect(dc, &red, r);
    FillRect(dc, &blue, b);
    SelectObject(dc, old);
    DeleteDC(dc);
    for (HBRUSH brush : {key, r, b})
        DeleteObject(brush);
    return bitmap;
}

} // namespace

TEST(Rendering, CheckBoxProgressAndSelectionShowTheirState) {
    Host host;
    HWND box = host.Add("BUTTON", "Checked", BS_AUTOCHECKBOX, RECT{10, 10, 150, 30});
    HWND progress = host.Add(PROGRESS_CLASS, "", PBS_SMOOTH, RECT{10, 40, 210, 60});
    HWND edit = host.Add("EDIT", "selected text", ES_NOHIDESEL, RECT{10, 70, 210, 92}, WS_EX_CLIENTEDGE);
    Send(progress, PBM_SETPOS, 50);
    Send(edit, EM_SETSEL, 0, 8);
    Pump();
    Surface before = pw::gui::ComposeWindow(host.Hwnd());
    const RECT checkArea{0, 0, 14, 20};
    const int darkBefore =
        CountColor(before, host.Hwnd(), box, checkArea, Argb(GetSysColor(COLOR_WINDOWTEXT)));
    Send(box, BM_SETCHECK, BST_CHECKED);
    Pump();
    Surface after = pw::gui::ComposeWindow(host.Hwnd());
    EXPECT_GT(CountColor(after, host.Hwnd(), box, checkArea, Argb(GetSysColor(COLOR_WINDOWTEXT))),
              darkBefore + 5);
    const uint32_t highlight = Argb(GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(CountColor(after, host.Hwnd(), progress, RECT{1, 1, 99, 19}, highlight), 90 * 17);
    EXPECT_EQ(CountColor(after, host.Hwnd(), progress, RECT{101, 0, 200, 20}, highlight), 0);
    EXPECT_GT(CountColor(after, host.Hwnd(), edit, RECT{0, 0, 60, 18}, highlight), 100);
    EXPECT_EQ(CountColor(after, host.Hwnd(), edit, RECT{120, 0, 196, 18}, highlight), 0);
    // A disabled edit paints its background in the face colour.
    EnableWindow(edit, FALSE_);
    Pump();
    Surface disabled = pw::gui::ComposeWindow(host.Hwnd());
    EXPECT_GT(
        CountColor(disabled, host.Hwnd(), edit, RECT{150, 0, 190, 16}, Argb(GetSysColor(COLOR_BTNFACE))),
        500);
}

TEST(Rendering, TreeDrawsImagesFromTheListWithTheKeyColourLeftOut) {
    Host host;
    HWND tree =
        host.Add(WC_TREEVIEW, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, RECT{10, 10, 200, 120});
    HIMAGELIST images = ImageList_Create(12, 12, ILC_COLOR32 | ILC_MASK, 2, 0);
    HBITMAP bitmap = TwoColourIcons();
    EXPECT_EQ(ImageList_AddMasked(images, bitmap, RGB(255, 0, 255)), 0);
    EXPECT_EQ(ImageList_GetImageCount(images), 2);
    DeleteObject(bitmap);
    Send(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    Insert(tree, TVI_ROOT, "page", TVI_LAST, 0, 1, 1);
    Pump();
    Surface s = pw::gui::ComposeWindow(host.Hwnd());
    const RECT row{0, 0, 180, 20};
    EXPECT_EQ(CountColor(s, host.Hwnd(), tree, row, 0xFF0000FFu), 64);
    EXPECT_EQ(CountColor(s, host.Hwnd(), tree, row, 0xFFFF0000u), 0);
    EXPECT_EQ(CountColor(s, host.Hwnd(), tree, row, 0xFFFF00FFu), 0);
    Send(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ImageList_Destroy(images);
}

TEST(Rendering, WindowWithEveryControlIsSavedAsPng) {
    Host host(520, 400);
    host.Add("STATIC", "Start address:", SS_LEFT, RECT{10, 12, 110, 30});
    HWND edit =
        host.Add("EDIT", "http://example.test/", ES_AUTOHSCROLL, RECT{115, 10, 330, 32}, WS_EX_CLIENTEDGE);
    host.Add("BUTTON", "OK", BS_DEFPUSHBUTTON, RECT{340, 8, 420, 34});
    host.Add("BUTTON", "Cancel", BS_PUSHBUTTON, RECT{430, 8, 510, 34});
    host.Add("BUTTON", "Options", BS_GROUPBOX, RECT{10, 40, 250, 130});
    HWND check = host.Add("BUTTON", "Follow links", BS_AUTOCHECKBOX, RECT{20, 60, 200, 80});
    HWND radio = host.Add("BUTTON", "HTML map", BS_AUTORADIOBUTTON | WS_GROUP, RECT{20, 82, 200, 102});
    host.Add("BUTTON", "XML sitemap", BS_AUTORADIOBUTTON, RECT{20, 104, 200, 124});
    HWND list = host.Add("LISTBOX", "", LBS_NOTIFY | LBS_EXTENDEDSEL | WS_VSCROLL, RECT{260, 40, 510, 130},
                         WS_EX_CLIENTEDGE);
    for (int i = 0; i < 12; ++i)
        Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("*.ext" + std::to_string(i)).c_str()));
    Send(list, LB_SETSEL, TRUE_, 1);
    HWND combo = host.Add("COMBOBOX", "", CBS_DROPDOWNLIST, RECT{10, 140, 250, 162});
    Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Depth 3"));
    Send(combo, CB_SETCURSEL, 0);
    HWND tree = host.Add(WC_TREEVIEW, "", TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                         RECT{10, 170, 250, 330}, WS_EX_CLIENTEDGE);
    HTREEITEM root = Insert(tree, TVI_ROOT, "http://example.test/");
    for (const char* page : {"index.html", "about.html"})
        Insert(tree, root, page);
    HTREEITEM folder = Insert(tree, root, "products/");
    HTREEITEM last = Insert(tree, root, "contact.html");
    for (const char* page : {"one.html", "two.html"})
        Insert(tree, folder, page);
    Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(last));
    HWND memo = host.Add("EDIT", "Crawling...\r\nindex.html 200\r\nabout.html 200",
                         ES_MULTILINE | ES_READONLY | WS_VSCROLL, RECT{260, 140, 510, 240}, WS_EX_CLIENTEDGE);
    HWND tabs = host.Add(WC_TABCONTROL, "", 0, RECT{260, 250, 510, 330});
    for (const char* t : {"General", "Filters", "Output"}) {
        TCITEM item;
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(t);
        Send(tabs, TCM_INSERTITEM, 9, reinterpret_cast<LPARAM>(&item));
    }
    HWND progress = host.Add(PROGRESS_CLASS, "", 0, RECT{10, 338, 250, 356}, WS_EX_STATICEDGE);
    Send(progress, PBM_SETPOS, 40);
    HWND status = host.Add(STATUSCLASSNAME, "", SBARS_SIZEGRIP, RECT{0, 0, 0, 0});
    const int parts[] = {200, -1};
    Send(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    Send(status, SB_SETTEXT, 0, reinterpret_cast<LPARAM>("5 pages"));
    Send(check, BM_SETCHECK, BST_CHECKED);
    Send(radio, BM_SETCHECK, BST_CHECKED);
    SetFocus(edit);
    Pump();
    Surface shot = pw::gui::ComposeWindow(host.Hwnd());
    const std::string dir = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp";
    const std::string path = dir + "/commctrl_all_controls.png";
    ASSERT_TRUE(SaveSurfaceToPng(shot, path));
    Surface back;
    ASSERT_TRUE(LoadSurfaceFromPng(back, path));
    EXPECT_EQ(back.Width(), 520);
    EXPECT_EQ(back.Height(), 400);
    (void)memo;
}

TEST(Rendering, CaretBlinksInAFocusedEditOnly) {
    Host host;
    HWND edit = host.Add("EDIT", "", 0, RECT{10, 10, 110, 32});
    auto caretPixels = [&] {
        Pump();
        Surface s = pw::gui::ComposeWindow(host.Hwnd());
        return CountColor(s, host.Hwnd(), edit, RECT{0, 0, 8, 22},
                          Argb(GetSysColor(COLOR_WINDOW)) ^ 0x00FFFFFFu);
    };
    EXPECT_EQ(caretPixels(), 0);
    ScopedCaretBlinkTime quick(100);
    SetFocus(edit);
    const int shown = caretPixels();
    EXPECT_GT(shown, 8);
    EXPECT_TRUE(PumpUntil([&] { return caretPixels() == 0; }));
    EXPECT_TRUE(PumpUntil([&] { return caretPixels() == shown; }));
    SetFocus(host.Hwnd());
    EXPECT_EQ(caretPixels(), 0);
}
