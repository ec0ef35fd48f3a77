// The GDI measures and draws text, and writes image files, through the toolkit installed under it and
// nothing else: a toolkit of plain boxes shows where each call lands.
#include <gtest/gtest.h>

#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/png_io.h"
#include "platform/gdi/tests/gdi_test_support.h"
#include "platform/gdi/text.h"
#include "platform/gdi/toolkit.h"
#include "platform/gui/qt/gdi_toolkit.h"

namespace {

// Every character advances 4 pixels and is a box 3 wide and 6 high standing on the baseline.
class BoxToolkit : public pw::gdi::Toolkit {
public:
    pw::gdi::FontInfo Metrics(const LOGFONT&) override {
        pw::gdi::FontInfo info;
        info.ascent = 7, info.descent = 2, info.pixelSize = 9;
        return info;
    }
    std::vector<int> CharPositions(const LOGFONT&, std::u16string_view text) override {
        std::vector<int> x(text.size() + 1);
        for (size_t i = 0; i < x.size(); ++i)
            x[i] = 4 * static_cast<int>(i);
        return x;
    }
    int TextWidth(const LOGFONT&, std::u16string_view text) override {
        return 4 * static_cast<int>(text.size());
    }
    pw::gdi::GlyphMask RenderText(const LOGFONT&, std::u16string_view text, int width, int height,
                                  int originX, int baseline) override {
        pw::gdi::GlyphMask m{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 0)};
        for (int i = 0; i < static_cast<int>(text.size()); ++i)
            for (int y = std::max(0, baseline - 6); y < std::min(height, baseline); ++y)
                for (int x = std::max(0, originX + 4 * i); x < std::min(width, originX + 4 * i + 3); ++x)
                    m.bits[static_cast<size_t>(y) * width + x] = 1;
        return m;
    }
    bool SavePng(const Surface&, const std::string& path) override { return saved = path, true; }
    bool LoadPng(Surface&, const std::string&) override { return false; }
    std::string saved;
};

// The program's own toolkit comes back however the test ends.
struct InstalledForTheTest {
    explicit InstalledForTheTest(pw::gdi::Toolkit& toolkit) { pw::gdi::InstallToolkit(toolkit); }
    ~InstalledForTheTest() { pw::gui::qt::InstallGdiToolkit(); }
};

TEST(Toolkit, TextAndImageFilesGoThroughTheInstalledToolkit) {
    BoxToolkit boxes;
    InstalledForTheTest installed(boxes);
    gdi_test::Canvas c(12, 10);
    HFONT font = CreateFont(-9, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Boxes");
    SelectObject(c.dc, font);
    SetBkMode(c.dc, TRANSPARENT);
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32(c.dc, "ab", -1, &size));
    EXPECT_EQ(size.cx, 8);
    EXPECT_EQ(size.cy, 9);
    TextOut(c.dc, 1, 1, "ab", 2); // baseline at 1 + 7
    EXPECT_EQ(c.Picture(), "............\n............\n.###.###....\n.###.###....\n.###.###....\n"
                           ".###.###....\n.###.###....\n.###.###....\n............\n............\n");
    EXPECT_TRUE(SaveSurfaceToPng(c.surface, "/nowhere/shot.png"));
    EXPECT_EQ(boxes.saved, "/nowhere/shot.png");
    SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

} // namespace
