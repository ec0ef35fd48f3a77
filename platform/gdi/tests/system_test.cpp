#include <gtest/gtest.h>

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

TEST_F(SystemSettings, ClassicColoursAndMetrics) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColorBrush(31), nullptr);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
    LOGBRUSH lb;
    GetObject(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(COLOR_HIGHLIGHT + 1)), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(COLOR_HIGHLIGHT + 1))),
              OBJ_BRUSH);

    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSIZE), 18);
    EXPECT_EQ(GetSystemMetrics(9999), 0);

    // The screen and work area are settable, and what depends on them follows.
    pw::gdi::SetScreenSize(800, 600);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    RECT wa;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_EQ(wa, (RECT{0, 0, 800, 600}));
    pw::gdi::SetWorkArea(RECT{0, 0, 800, 570});
    SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
    EXPECT_EQ(wa, (RECT{0, 0, 800, 570}));
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 570 - GetSystemMetrics(SM_CYCAPTION));
    pw::gdi::SetSystemMetric(SM_SWAPBUTTON, 1);
    EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 1);

    // A swapped colour scheme (high contrast) reaches brushes and GetSysColor alike.
    const int face = COLOR_BTNFACE;
    const COLORREF black = RGB(0, 0, 0);
    SetSysColors(1, &face, &black);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), black);
    pw::gdi::ResetSystemSettings();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
}

TEST_F(SystemSettings, ParametersAndNonClientMetrics) {
    NONCLIENTMETRICS ncm;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    EXPECT_EQ(ncm.lfMenuFont.lfHeight, -11);
    EXPECT_EQ(ncm.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(ncm.lfStatusFont.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(ncm.iSmCaptionHeight, 15);
    // A caller with a wrong size is refused rather than overrun.
    NONCLIENTMETRICS small;
    small.cbSize = 100;
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 100, &small, 0));
    ncm.lfMenuFont.lfHeight = -14;
    pw::gdi::SetNonClientMetrics(ncm);
    NONCLIENTMETRICS again;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof again, &again, 0);
    EXPECT_EQ(again.lfMenuFont.lfHeight, -14);

    BOOL flag = TRUE_;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETMENUANIMATION, 0, &flag, 0));
    EXPECT_FALSE(flag);
    pw::gdi::SetSystemParameterFlag(SPI_GETDROPSHADOW, true);
    EXPECT_TRUE(SystemParametersInfo(SPI_GETDROPSHADOW, 0, &flag, 0));
    EXPECT_TRUE(flag);
    UINT value = 0;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, &value, 0));
    EXPECT_EQ(value, 400u);
    EXPECT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &value, 0));
    EXPECT_EQ(value, 3u);
    LOGFONT lf;
    EXPECT_TRUE(SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0));
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_FALSE(SystemParametersInfo(SPI_GETMOUSEHOVERTIME, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(0xFFFF, 0, &value, 0));
}

TEST_F(SystemSettings, DeviceCapsNearestColourAndThemes) {
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(nullptr, PLANES), 1);
    HDC mem = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 1); // still holding its monochrome bitmap
    EXPECT_EQ(GetDeviceCaps(mem, NUMCOLORS), 2);
    EXPECT_EQ(GetNearestColor(nullptr, RGB(12, 34, 56)), RGB(12, 34, 56));
    EXPECT_EQ(GetNearestColor(mem, RGB(200, 200, 200)), RGB(255, 255, 255));
    EXPECT_EQ(GetNearestColor(mem, RGB(20, 20, 20)), RGB(0, 0, 0));
    EXPECT_EQ(SetMapMode(mem, MM_TEXT), MM_TEXT);
    EXPECT_EQ(SetMapMode(mem, 8), 0); // anisotropic mapping does not exist here
    EXPECT_EQ(GetMapMode(mem), MM_TEXT);
    DeleteDC(mem);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 0);

    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    HTHEME theme = OpenThemeData(nullptr, "ToolBar");
    EXPECT_EQ(theme, nullptr);
    const RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawThemeBackground(theme, nullptr, 1, 1, &r, nullptr), E_FAIL);
    COLORREF c;
    EXPECT_EQ(GetThemeColor(theme, 1, 1, TMT_FILLCOLOR, &c), E_FAIL);
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
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(200, 50, 100), 100);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 1), -1);                  // does not fit
    EXPECT_EQ(MulDiv(2000000000, 2000000000, 2000000000), 2000000000); // 64-bit intermediate
}

} // namespace
