#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/png_io.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/tests/gdi_test_support.h"
#include "platform/gdi/text.h"

namespace {

// A panel of the primitives the toolbars and dialogs use, as they would appear together.
void DrawSampler(HDC dc) {
    RECT all{0, 0, 240, 120};
    FillRect(dc, &all, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1)));
    RECT button{8, 8, 80, 30};
    DrawFrameControl(dc, &button, DFC_BUTTON, DFCS_BUTTONPUSH);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawText(dc, "&Open file", -1, &button, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT sunken{88, 8, 160, 30};
    DrawEdge(dc, &sunken, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &sunken, GetSysColorBrush(COLOR_WINDOW));
    DrawText(dc, "A rather long caption", -1, &sunken, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    RECT check{168, 10, 181, 23}, radio{188, 10, 200, 22};
    DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    DrawFrameControl(dc, &radio, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    RECT close{210, 8, 226, 22};
    DrawFrameControl(dc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    RECT etched{8, 38, 232, 40};
    DrawEdge(dc, &etched, EDGE_ETCHED, BF_TOP);

    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 128));
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 128, 0));
    SelectObject(dc, pen);
    SelectObject(dc, hatch);
    Ellipse(dc, 8, 48, 60, 90);
    RoundRect(dc, 68, 48, 120, 90, 12, 12);
    const POINT tri[] = {{130, 90}, {155, 48}, {180, 90}};
    SelectObject(dc, GetSysColorBrush(COLOR_HIGHLIGHT));
    Polygon(dc, tri, 3);
    HPEN dash = CreatePen(PS_DASH, 1, RGB(128, 0, 0));
    SelectObject(dc, dash);
    MoveToEx(dc, 188, 48, nullptr);
    LineTo(dc, 232, 90);
    RECT focus{186, 94, 234, 112};
    DrawFocusRect(dc, &focus);
    RECT grip{8, 96, 24, 112};
    DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    RECT arrow{30, 96, 46, 112};
    DrawFrameControl(dc, &arrow, DFC_SCROLL, DFCS_SCROLLDOWN);
    SetTextColor(dc, RGB(128, 0, 128));
    TextOut(dc, 56, 98, "Text & shapes", 13);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pen);
    DeleteObject(dash);
    DeleteObject(hatch);
}

TEST(Picture, SamplerRendersAndRoundTripsThroughPng) {
    gdi_test::Canvas c(240, 120);
    DrawSampler(c.dc);

    // Drawing is deterministic: a second rendering through a memory DC matches pixel for pixel.
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(240, 120, 1, 32, nullptr);
    SelectObject(mem, bm);
    DrawSampler(mem);
    const Surface* again = GetBitmapSurface(bm);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(std::vector<uint32_t>(again->Bits(), again->Bits() + 240 * 120), c.Pixels());
    DeleteDC(mem);
    DeleteObject(bm);

    auto pixels = [](const Surface& s) {
        return std::vector<uint32_t>(s.Bits(), s.Bits() + s.Width() * s.Height());
    };
    const std::string path = testing::TempDir() + "gdi_sampler.png";
    ASSERT_TRUE(SaveSurfaceToPng(c.surface, path));
    Surface loaded;
    ASSERT_TRUE(LoadSurfaceFromPng(loaded, path));
    EXPECT_EQ(loaded.Width(), 240);
    EXPECT_EQ(pixels(loaded), c.Pixels());
    if (const char* keep = std::getenv("PW_GDI_SAMPLER_PNG")) SaveSurfaceToPng(c.surface, keep);

    // The fixed fonts and system colours make the picture the same on every machine: compare it
    // with the kept one exactly (PW_UPDATE_GOLDEN=1 rewrites it after an intended change).
    const std::string golden = std::string(PW_TEST_DATA_DIR) + "/golden/sampler.png";
    if (std::getenv("PW_UPDATE_GOLDEN")) {
        ASSERT_TRUE(SaveSurfaceToPng(c.surface, golden));
    }
    Surface expected;
    ASSERT_TRUE(LoadSurfaceFromPng(expected, golden));
    EXPECT_EQ(expected.Width(), 240);
    EXPECT_TRUE(pixels(expected) == c.Pixels()); // no dump of 28,800 pixels on failure
    std::remove(path.c_str());
    EXPECT_FALSE(LoadSurfaceFromPng(loaded, path));
}

} // namespace
