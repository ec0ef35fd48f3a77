#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/test_settings.h"
#include "platform/gdi/tests/gdi_test_support.h"

namespace {

// Distinct colours for the edge roles, so each pixel names its role.
class EdgeTest : public testing::Test {
protected:
    void SetUp() override {
        const int indices[] = {COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
                               COLOR_BTNFACE, COLOR_WINDOW,     COLOR_WINDOWFRAME};
        const COLORREF colors[] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0),
                                   RGB(5, 0, 0), RGB(6, 0, 0), RGB(7, 0, 0)};
        SetSysColors(7, indices, colors);
    }
    void TearDown() override { pw::gdi::ResetSystemSettings(); }

    static std::string Roles(const Surface& s) {
        static const std::map<uint32_t, char> names = {
            {0xFF010000u, 'L'}, {0xFF020000u, 'D'}, {0xFF030000u, 'H'}, {0xFF040000u, 'S'},
            {0xFF050000u, 'F'}, {0xFF060000u, 'W'}, {0xFF070000u, 'K'}, {0xFFFFFFFFu, '.'}};
        std::string out;
        for (int y = 0; y < s.Height(); ++y) {
            for (int x = 0; x < s.Width(); ++x) {
                auto it = names.find(s.Pixel(x, y));
                out += it == names.end() ? '?' : it->second;
            }
            out += '/';
        }
        out.pop_back();
        return out;
    }

    static std::string Edge(UINT edge, UINT flags, RECT* adjusted = nullptr) {
        gdi_test::Canvas s(5, 5, 0xFFFFFFFFu);
        RECT r{0, 0, 5, 5};
        EXPECT_TRUE(DrawEdge(s.dc, &r, edge, flags));
        if (adjusted) *adjusted = r;
        return Roles(s.surface);
    }
};

TEST_F(EdgeTest, ClassicEdgesPixelByPixel) {
    const struct {
        UINT edge, flags;
        const char* roles; // rows joined by '/'
    } cases[] = {
        {EDGE_RAISED, BF_RECT, "LLLLD/LHHSD/LH.SD/LSSSD/DDDDD"},
        {EDGE_SUNKEN, BF_RECT, "SSSSH/SDDLH/SD.LH/SLLLH/HHHHH"},
        {EDGE_ETCHED, BF_RECT, "SSSSH/SHHSH/SH.SH/SSSSH/HHHHH"},
        {EDGE_BUMP, BF_RECT, "LLLLD/LDDLD/LD.LD/LLLLD/DDDDD"},
        {BDR_RAISEDINNER, BF_RECT | BF_MIDDLE, "HHHHS/HFFFS/HFFFS/HFFFS/SSSSS"},
        {BDR_SUNKENOUTER, BF_TOP | BF_LEFT, "SSSSS/S..../S..../S..../S...."},
        {BDR_RAISEDOUTER, BF_BOTTOM | BF_RIGHT, "....D/....D/....D/....D/DDDDD"},
        {EDGE_RAISED, BF_RECT | BF_SOFT, "HHHHD/HLLSD/HL.SD/HSSSD/DDDDD"},
        {EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE, "SSSSS/SFFFS/SFFFS/SFFFS/SSSSS"},
        {EDGE_SUNKEN, BF_RECT | BF_MONO, "KKKKK/KWWWK/KW.WK/KWWWK/KKKKK"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Edge(c.edge, c.flags), c.roles) << std::hex << c.edge << " " << c.flags;
    RECT inside;
    Edge(EDGE_RAISED, BF_RECT | BF_ADJUST, &inside);
    EXPECT_EQ(inside, (RECT{2, 2, 3, 3}));
    Edge(BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST, &inside);
    EXPECT_EQ(inside, (RECT{1, 1, 5, 5}));
}

TEST_F(EdgeTest, FrameControlsFaceStatesAndAdjust) {
    gdi_test::Canvas s(12, 12, 0xFFFFFFFFu);
    RECT r{0, 0, 12, 12};
    EXPECT_TRUE(DrawFrameControl(s.dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(r, (RECT{2, 2, 10, 10}));
    std::string roles = Roles(s.surface);
    EXPECT_EQ(roles.substr(0, 13), "HHHHHHHHHHHD/"); // soft raised: highlight outside
    EXPECT_EQ(roles[13 * 5 + 5], 'F');
    r = RECT{0, 0, 12, 12};
    DrawFrameControl(s.dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(Roles(s.surface).substr(0, 13), "DDDDDDDDDDDH/");

    // A checked box shows a mark in the window text colour on the window colour; unchecked none.
    r = RECT{0, 0, 12, 12};
    DrawFrameControl(s.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK);
    roles = Roles(s.surface);
    EXPECT_EQ(roles.find('?'), std::string::npos);
    EXPECT_NE(roles.find('W'), std::string::npos);
    DrawFrameControl(s.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    int marks = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            marks += s.Pixel(x, y) == 0xFF000000u;
    EXPECT_EQ(marks, 21); // the whole seven-by-seven check mark
    DrawFrameControl(s.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(Roles(s.surface).find('W'), std::string::npos); // inactive boxes use the face colour

    // Caption, menu and scroll parts draw a glyph inside their face; unknown kinds fail.
    for (UINT kind :
         {DFCS_CAPTIONCLOSE, DFCS_CAPTIONMIN, DFCS_CAPTIONMAX, DFCS_CAPTIONRESTORE, DFCS_CAPTIONHELP}) {
        s.surface.Resize(0, 0);
        s.surface.Resize(16, 14, 0xFFFFFFFFu);
        RECT c{0, 0, 16, 14};
        EXPECT_TRUE(DrawFrameControl(s.dc, &c, DFC_CAPTION, kind));
        EXPECT_NE(Roles(s.surface).find('?'), std::string::npos) << kind; // the black glyph
    }
    RECT m{0, 0, 10, 10};
    EXPECT_TRUE(DrawFrameControl(s.dc, &m, DFC_MENU, DFCS_MENUCHECK));
    EXPECT_TRUE(DrawFrameControl(s.dc, &m, DFC_SCROLL, DFCS_SCROLLSIZEGRIP));
    EXPECT_TRUE(DrawFrameControl(s.dc, &m, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE));
    EXPECT_FALSE(DrawFrameControl(s.dc, &m, 99, 0));
}

TEST_F(EdgeTest, FocusRectTwiceRestores) {
    Surface s(9, 7, 0xFFFFFFFFu);
    for (int x = 0; x < 9; ++x)
        s.SetPixel(x, 3, 0xFF123456u);
    const Surface before = s;
    HDC dc = CreateSurfaceDC(&s, POINT{0, 0}, nullptr);
    const RECT r{1, 1, 8, 6};
    DrawFocusRect(dc, &r);
    EXPECT_EQ(s.Pixel(1, 1), 0xFF000000u); // dotted: every other pixel inverted
    EXPECT_EQ(s.Pixel(2, 1), 0xFFFFFFFFu);
    EXPECT_EQ(s.Pixel(4, 3), 0xFF123456u); // inside untouched
    EXPECT_EQ(s.Pixel(0, 0), 0xFFFFFFFFu);
    DrawFocusRect(dc, &r);
    EXPECT_EQ(std::vector<uint32_t>(s.Bits(), s.Bits() + 63),
              std::vector<uint32_t>(before.Bits(), before.Bits() + 63));
    DeleteDC(dc);
}

TEST(Icons, MaskAndColourMakeTransparency) {
    // 2x1 icon: left pixel transparent (mask 1, colour black), right opaque red (mask 0).
    const uint8_t maskBits[] = {0x80, 0x00};
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskBits);
    const uint32_t colorBits[] = {0x00000000u, 0x00FF0000u};
    HBITMAP color = CreateBitmap(2, 1, 1, 32, colorBits);
    ICONINFO info;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask); // the icon has its own copies
    DeleteObject(color);
    gdi_test::Canvas s(2, 1, 0xFF00FF00u);
    SetTextColor(s.dc, RGB(9, 9, 9)); // the DC's colours do not leak into icons
    EXPECT_TRUE(DrawIcon(s.dc, 0, 0, icon));
    EXPECT_EQ(s.Pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(s.Pixel(1, 0), 0xFFFF0000u);
    ICONINFO back;
    ASSERT_TRUE(GetIconInfo(icon, &back));
    BITMAP bm;
    GetObject(back.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(back.hbmMask);
    DeleteObject(back.hbmColor);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(s.dc, 0, 0, icon));
    EXPECT_FALSE(DeleteObject(s.dc)); // a DC is not deleted through DeleteObject
}

} // namespace
