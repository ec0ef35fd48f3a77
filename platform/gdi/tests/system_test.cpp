#include <gtest/gtest.h>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/test_settings.h"
#include "platform/gdi/theme.h"

namespace {

class SystemSettings : public testing::Test {
protected:
    void TearDown() override { pw::gdi::ResetSystemSettings(); }
};

TEST_F(SystemSettings, ColoursMetricsAndParametersAreSettableAndReset) {
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColorBrush(31), nullptr);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
    const auto pseudo = reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(COLOR_HIGHLIGHT + 1));
    LOGBRUSH lb;
    GetObject(pseudo, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetObjectType(pseudo), OBJ_BRUSH);
    EXPECT_EQ(GetSystemMetrics(9999), 0);

    // The screen and work area are settable, and what depends on them follows.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    pw::gdi::SetScreenSize(800, 600);
    RECT wa;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_EQ(wa, (RECT{0, 0, 800, 600}));
    pw::gdi::SetWorkArea(RECT{0, 0, 800, 570});
    SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
    EXPECT_EQ(wa, (RECT{0, 0, 800, 570}));
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 570 - GetSystemMetrics(SM_CYCAPTION));
    const int index = COLOR_BTNFACE;
    const COLORREF black = RGB(0, 0, 0);
    SetSysColors(1, &index, &black);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), black);
    pw::gdi::ResetSystemSettings();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), face);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screenWidth);

    // Callers with a wrong size, no buffer or an unknown action are refused rather than overrun.
    NONCLIENTMETRICS ncm;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    ncm.cbSize = 100;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 100, &ncm, 0));
    UINT value = 0;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, &value, 0));
    BOOL flag = 0;
    pw::gdi::SetSystemParameterFlag(SPI_GETDROPSHADOW, true);
    EXPECT_TRUE(SystemParametersInfo(SPI_GETDROPSHADOW, 0, &flag, 0));
    EXPECT_TRUE(flag);
}

TEST_F(SystemSettings, DeviceCapsNearestColourAndThemes) {
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 32);
    HDC mem = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 1); // still holding its monochrome bitmap
    EXPECT_EQ(GetDeviceCaps(mem, NUMCOLORS), 2);
    EXPECT_EQ(GetNearestColor(nullptr, RGB(12, 34, 56)), RGB(12, 34, 56));
    EXPECT_EQ(GetNearestColor(mem, RGB(200, 200, 200)), RGB(255, 255, 255));
    EXPECT_EQ(GetNearestColor(mem, RGB(20, 20, 20)), RGB(0, 0, 0));
    EXPECT_EQ(SetMapMode(mem, 8), 0); // anisotropic mapping does not exist here
    EXPECT_EQ(GetMapMode(mem), MM_TEXT);
    DeleteDC(mem);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 0);
    // A screen of 256 colours says so, for the screen and for the colour DCs made for it.
    pw::gdi::SetScreenColorDepth(8);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 8);
    mem = CreateCompatibleDC(nullptr);
    HBITMAP colour = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, colour);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 8);
    SelectObject(mem, old);
    DeleteObject(colour);
    DeleteDC(mem);
    pw::gdi::ResetSystemSettings();
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 32);
    // The classic look: no theme is ever open.
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, "ToolBar"), nullptr);
}

TEST_F(SystemSettings, StockObjectsAndGetObject) {
    for (int i : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, DC_BRUSH})
        EXPECT_EQ(GetObjectType(GetStockObject(i)), OBJ_BRUSH) << i;
    for (int i : {WHITE_PEN, BLACK_PEN, NULL_PEN, DC_PEN})
        EXPECT_EQ(GetObjectType(GetStockObject(i)), OBJ_PEN) << i;
    for (int i : {DEFAULT_GUI_FONT, SYSTEM_FONT, ANSI_VAR_FONT})
        EXPECT_EQ(GetObjectType(GetStockObject(i)), OBJ_FONT) << i;
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    LOGPEN lp;
    HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
    ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID)); // wide pens are solid
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObject(pen, 2, &lp), 0); // too small a buffer
    EXPECT_EQ(GetObject(pen, 0, nullptr), static_cast<int>(sizeof lp));
    DeleteObject(pen);
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), 0);
    EXPECT_EQ(GetObjectType(pen), 0u);

    // A deleted brush that is still selected keeps painting safely until it is replaced.
    HDC mem = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetObjectType(mem), OBJ_MEMDC);
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    SelectObject(mem, brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(PatBlt(mem, 0, 0, 1, 1, PATCOPY));
    EXPECT_EQ(GetCurrentObject(mem, OBJ_BRUSH), brush);
    EXPECT_EQ(SelectObject(mem, brush), nullptr); // but the stale handle cannot be selected again
    SetDCBrushColor(mem, RGB(0, 0, 0));
    SelectObject(mem, GetStockObject(DC_BRUSH));
    PatBlt(mem, 0, 0, 1, 1, PATCOPY);
    EXPECT_EQ(GetPixel(mem, 0, 0), RGB(0, 0, 0));
    DeleteDC(mem);
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndReportsFailures) {
    // The last two: a result that does not fit, and one that needs a 64-bit intermediate.
    const int cases[][4] = {{5, 1, 2, 3},
                            {-5, 1, 2, -3},
                            {5, -1, 2, -3},
                            {-5, -1, -2, -3},
                            {7, 1, 3, 2},
                            {8, 1, 3, 3},
                            {1, 1, 0, -1},
                            {2000000000, 2000000000, 1, -1},
                            {2000000000, 2000000000, 2000000000, 2000000000}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << c[0] << "*" << c[1] << "/" << c[2];
}

} // namespace
