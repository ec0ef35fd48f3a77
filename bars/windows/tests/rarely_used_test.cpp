// Expanded recent-items menus in every style: which lines are rarely used, where their runs start, and
// how each style draws them (the lighter band with its edges, the darker glyph band, solid lines over
// the menu's picture). With PW_RARELY_USED_SHOTS set to a folder each style's menu is saved there; with
// PW_RARELY_USED_HOLD_MS the cascade stays up that long for a look under a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/backgrounds.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/sub_item.h"
#include "bars/painters/painter.h"
#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/test_settings.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

using bars::TdxBarItemControl;
using bars::TdxBarSubMenuControl;

class RarelyUsedTest : public BarWindowsTest {
protected:
    RarelyUsedTest() {
        pw::gui::SetTickSource([this] { return now; });
    }
    ~RarelyUsedTest() override {
        if (auto* active = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) active->HideAll();
        Pump();
        pw::gui::SetTickSource(nullptr);
    }

    // File with Open and Exit used often, Save and Print rarely; Exit begins a group.
    void Build(TdxBarManagerStyle style) {
        manager->SetStyle(style);
        manager->SetMenusShowRecentItemsFirst(true);
        open = Button("&Open");
        save = Button("&Save");
        print = Button("&Print");
        exit = Button("E&xit");
        file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        for (TdxBarItem* item : {static_cast<TdxBarItem*>(open), static_cast<TdxBarItem*>(save),
                                 static_cast<TdxBarItem*>(print), static_cast<TdxBarItem*>(exit)})
            file->ItemLinks()->Add()->SetItem(item);
        TdxBarItemLinks* links = file->ItemLinks();
        links->Items(3)->SetBeginGroup(true);
        links->Items(0)->SetUseCount(40);
        links->Items(3)->SetUseCount(40);
        links->MoveInRecentOrder(links->Items(0), 0);
        links->MoveInRecentOrder(links->Items(3), 1);
        menuBar = Toolbar("Menu", {file});
        menuBar->SetIsMainMenu(true);
        Pump();
    }
    // Opens File and shows every line (Ctrl+Down).
    void OpenExpanded() {
        Press(Centre(file, menuBar));
        Release(Centre(file, menuBar));
        ASSERT_NE(Menu(), nullptr);
        ASSERT_TRUE(Menu()->IsMarkVisible());
        pw::gui::SetKeyDown(VK_CONTROL, true);
        SendMessage(Menu()->Handle(), WM_KEYDOWN, VK_DOWN, 0);
        pw::gui::SetKeyDown(VK_CONTROL, false);
        Pump();
        ASSERT_NE(Menu(), nullptr);
        ASSERT_TRUE(MenusExpanded());
        ASSERT_EQ(file->ItemLinks()->CanVisibleItemCount(), file->ItemLinks()->VisibleItemCount());
    }
    TdxBarSubMenuControl* Menu() const {
        return dynamic_cast<TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
    }
    // Closes the chain: the next one starts with short menus again.
    void CloseMenusAndForget() {
        if (auto* active = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) active->HideAll();
        Pump();
    }
    TdxBarItemControl* Line(int index) const {
        return dynamic_cast<TdxBarItemControl*>(file->ItemLinks()->Items(index)->Control());
    }
    RECT LineRect(int index) const { return file->ItemLinks()->Items(index)->ItemRect(); }
    // The colour of a client point of the menu as the screen shows it.
    COLORREF At(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(Menu()->Handle(), p);
        const Surface s = pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + 1, p.y + 1});
        const uint32_t argb = s.Pixel(0, 0);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    // A point of a line's caption part, right of its text.
    COLORREF Caption(int index) const {
        const RECT r = LineRect(index);
        return At(r.right - 6, (r.top + r.bottom) / 2);
    }
    void Save(const std::string& name) {
        if (const char* folder = std::getenv("PW_RARELY_USED_SHOTS")) {
            RECT r{0, 0, 0, 0};
            GetWindowRect(Menu()->Handle(), r);
            pw::gui::SaveScreenImage(RECT{0, 0, r.right + 20, r.bottom + 20},
                                     std::string(folder) + "/rarely-used-" + name + ".png");
        }
    }
    // Which lines are rarely used, and which start a run.
    std::vector<bool> Rarely() const {
        std::vector<bool> flags;
        for (int i = 0; i < 4; ++i)
            flags.push_back(Line(i)->RarelyUsed);
        return flags;
    }
    std::vector<bool> Starts() const {
        std::vector<bool> flags;
        for (int i = 0; i < 4; ++i)
            flags.push_back(Line(i)->RarelyUsedStart);
        return flags;
    }

    DWORD now = 100000;
    TdxBarButton *open = nullptr, *save = nullptr, *print = nullptr, *exit = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBar* menuBar = nullptr;
};

TEST_F(RarelyUsedTest, TheRarelyUsedColourIsTheButtonFaceTwentyLighterAtMost255) {
    EXPECT_EQ(bars::RarelyUsedColor(), RGB(232, 228, 220)); // the classic face is D4D0C8
    const int index = COLOR_BTNFACE;
    const COLORREF odd = RGB(10, 240, 235);
    SetSysColors(1, &index, &odd);
    EXPECT_EQ(bars::RarelyUsedColor(), RGB(30, 255, 255));
    pw::gdi::ResetSystemSettings();
}

TEST_F(RarelyUsedTest, OnlyAnExpandedMenuMarksItsRarelyUsedLinesAndTheRunsTheyMake) {
    Build(bmsEnhanced);
    Press(Centre(file, menuBar));
    Release(Centre(file, menuBar));
    ASSERT_NE(Menu(), nullptr);
    // The short menu shows the recent lines, none of them rarely used.
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 2);
    EXPECT_FALSE(Line(0)->RarelyUsed);
    EXPECT_FALSE(Line(3)->RarelyUsed);
    pw::gui::SetKeyDown(VK_CONTROL, true);
    SendMessage(Menu()->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    pw::gui::SetKeyDown(VK_CONTROL, false);
    Pump();
    ASSERT_NE(Menu(), nullptr);
    EXPECT_EQ(Rarely(), (std::vector<bool>{false, true, true, false}));
    // A run starts where the kind changes; the top line starts none.
    EXPECT_EQ(Starts(), (std::vector<bool>{false, true, false, true}));
    // Each start takes one more pixel above it, where the band draws its edge; the separator before
    // Exit comes on top of that.
    EXPECT_EQ(LineRect(1).top, LineRect(0).bottom + 1);
    EXPECT_EQ(LineRect(2).top, LineRect(1).bottom);
    EXPECT_EQ(LineRect(3).top, LineRect(2).bottom + 1 + Menu()->GetSeparatorSize());
    // The window grew by those two pixels: the last line still fits above the bottom.
    EXPECT_LE(LineRect(3).bottom, Menu()->ClientHeight());
    EXPECT_FALSE(Menu()->HasBottomArrow());

    // Rarely used lines on top: their run starts at the top line only below a detach strip.
    CloseMenusAndForget();
    TdxBarItemLinks* links = file->ItemLinks();
    links->MoveInRecentOrder(links->Items(1), 0);
    links->MoveInRecentOrder(links->Items(2), 1);
    links->Items(1)->SetUseCount(40);
    links->Items(2)->SetUseCount(40);
    links->Items(0)->SetUseCount(0);
    links->Items(3)->SetUseCount(0);
    ASSERT_NO_FATAL_FAILURE(OpenExpanded());
    EXPECT_EQ(Rarely(), (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(Starts(), (std::vector<bool>{false, true, false, true}));
}

TEST_F(RarelyUsedTest, EnhancedAndXPStylesLayRarelyUsedLinesOnALighterBandWithItsEdges) {
    for (TdxBarManagerStyle style : {bmsEnhanced, bmsXP}) {
        SCOPED_TRACE(style == bmsXP ? "XP" : "enhanced");
        Build(style);
        ASSERT_NO_FATAL_FAILURE(OpenExpanded());
        Save(style == bmsXP ? "xp" : "enhanced");
        const COLORREF face = GetSysColor(COLOR_BTNFACE), light = bars::RarelyUsedColor();
        EXPECT_EQ(Caption(0), face);
        EXPECT_EQ(Caption(1), light);
        EXPECT_EQ(Caption(2), light);
        EXPECT_EQ(Caption(3), face);
        const RECT save = LineRect(1), print = LineRect(2), exitLine = LineRect(3);
        // The band reaches from the menu's left to its right edge beside the rarely used lines.
        EXPECT_EQ(At(0, (save.top + save.bottom) / 2), light);
        EXPECT_EQ(At(Menu()->ClientWidth() - 1, (print.top + print.bottom) / 2), light);
        // The pixel the run start gained keeps the menu's face; the line above Exit's group is the
        // highlight of a recent line.
        EXPECT_EQ(At(save.left + 20, save.top - 1), face);
        EXPECT_EQ(At(exitLine.left + 20, exitLine.top - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(At(exitLine.left + 20, exitLine.top - 2), face);
        // The brush lives with the window: on a screen of true colours there is no palette.
        EXPECT_NE(Menu()->RarelyUsedBrush(), nullptr);
        EXPECT_EQ(Menu()->RarelyUsedPalette(), nullptr);
        CloseMenusAndForget();
        delete menuBar;
        delete file;
    }
}

TEST_F(RarelyUsedTest, AStandardStyleMenuHasNoRecentItemsAndSoNoRarelyUsedLines) {
    Build(bmsStandard);
    Press(Centre(file, menuBar));
    Release(Centre(file, menuBar));
    ASSERT_NE(Menu(), nullptr);
    EXPECT_FALSE(Menu()->IsMarkVisible());
    EXPECT_EQ(Rarely(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(Caption(1), GetSysColor(COLOR_BTNFACE));
}

TEST_F(RarelyUsedTest, Office2003DarkensTheGlyphBandBesideRarelyUsedLines) {
    Build(bmsOffice11);
    ASSERT_NO_FATAL_FAILURE(OpenExpanded());
    Save("office2003");
    const TOffice11Colors& c = Office11Colors();
    // The darker pair: 92 per cent of each channel.
    const COLORREF strip = ColorToRGB(c.MenuStripColor1), dark = ColorToRGB(c.MenuStripDarkColor1);
    EXPECT_EQ(GetRValue(dark), MulDiv(GetRValue(strip), 92, 100));
    EXPECT_EQ(GetBValue(dark), MulDiv(GetBValue(strip), 92, 100));
    // The band's colours at the line's left, as the gradients paint them.
    const bars::TdxBarItemControlPainter& painter = Menu()->Painter();
    const int bandRight = painter.GetSubMenuBorderSize() - 1 + Menu()->MenuLineHeight() + 3;
    const int x = LineRect(1).left + 2;
    pw::gdi::MemoryDC reference(nullptr, bandRight, 2);
    FillTwoPhaseGradientRect(reference.Get(), RECT{0, 0, bandRight, 1}, c.MenuStripColor1, true,
                             c.MenuStripColor2);
    FillTwoPhaseGradientRect(reference.Get(), RECT{0, 1, bandRight, 2}, c.MenuStripDarkColor1, true,
                             c.MenuStripDarkColor2);
    const COLORREF normal = GetPixel(reference.Get(), x, 0), darker = GetPixel(reference.Get(), x, 1);
    ASSERT_NE(normal, darker);
    for (int i = 0; i < 4; ++i) {
        const RECT r = LineRect(i);
        EXPECT_EQ(At(x, (r.top + r.bottom) / 2), i == 1 || i == 2 ? darker : normal) << "line " << i;
    }
    // The text part keeps the menu's colour, and no pixel is added where runs start.
    EXPECT_EQ(Caption(1), ColorToRGB(c.MenuColor));
    EXPECT_EQ(LineRect(1).top, LineRect(0).bottom);
}

TEST_F(RarelyUsedTest, FlatLinesKeepTheirColoursButARarelyUsedOneCoversTheMenusPicture) {
    Build(bmsFlat);
    TBitmap picture;
    picture.SetWidth(8);
    picture.SetHeight(8);
    const RECT all{0, 0, 8, 8};
    const COLORREF green = RGB(0, 128, 0);
    FillRectByColor(picture.Canvas().Handle(), all, static_cast<TColor>(green));
    manager->Backgrounds()->SetSubMenu(&picture);
    ASSERT_NO_FATAL_FAILURE(OpenExpanded());
    Save("flat");
    EXPECT_EQ(Rarely(), (std::vector<bool>{false, true, true, false}));
    // The menu's picture shows behind the recent lines; the rarely used ones are filled.
    EXPECT_EQ(Caption(0), green);
    EXPECT_EQ(Caption(1), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Caption(3), green);
    // The flat style draws no band edges: no pixel above a run.
    EXPECT_EQ(LineRect(1).top, LineRect(0).bottom);
    manager->Backgrounds()->SetSubMenu(nullptr);
}

TEST_F(RarelyUsedTest, OnAScreenOf256ColoursTheBandHasAPaletteOfItsOwn) {
    pw::gdi::SetScreenColorDepth(8);
    RefreshBarUnitColors();
    Build(bmsEnhanced);
    ASSERT_NO_FATAL_FAILURE(OpenExpanded());
    HPALETTE palette = Menu()->RarelyUsedPalette();
    ASSERT_NE(palette, nullptr);
    const std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), bars::RarelyUsedColor());
    EXPECT_EQ(Caption(1), bars::RarelyUsedColor());
    CloseMenusAndForget();
    // Nine bits are enough for the colour itself.
    pw::gdi::SetScreenColorDepth(9);
    RefreshBarUnitColors();
    ASSERT_NO_FATAL_FAILURE(OpenExpanded());
    EXPECT_EQ(Menu()->RarelyUsedPalette(), nullptr);
    pw::gdi::ResetSystemSettings();
    RefreshBarUnitColors();
}

TEST_F(RarelyUsedTest, ACascadeOfAnExpandedMenuShowsAndMarksItsOwnRarelyUsedLines) {
    Build(bmsEnhanced);
    TdxBarButton* first = Button("&First site");
    TdxBarButton* second = Button("&Second site");
    TdxBarButton* third = Button("&Third site");
    auto* recent = new TdxBarSubItem(&form);
    recent->SetCaption("&Recent");
    for (TdxBarItem* item :
         {static_cast<TdxBarItem*>(first), static_cast<TdxBarItem*>(second), static_cast<TdxBarItem*>(third)})
        recent->ItemLinks()->Add()->SetItem(item);
    recent->ItemLinks()->Items(1)->SetUseCount(40);
    recent->ItemLinks()->MoveInRecentOrder(recent->ItemLinks()->Items(1), 0);
    TdxBarItemLink* entry = file->ItemLinks()->Add();
    entry->SetItem(recent);
    entry->SetUseCount(40);
    file->ItemLinks()->MoveInRecentOrder(entry, 0);
    ASSERT_NO_FATAL_FAILURE(OpenExpanded());
    RECT line = entry->ItemRect();
    MapWindowPoints(Menu()->Handle(), nullptr, line);
    MoveTo(POINT{(line.left + line.right) / 2, (line.top + line.bottom) / 2});
    now += 400;
    Pump();
    auto* cascade = dynamic_cast<TdxBarSubMenuControl*>(recent->ItemLinks()->BarControl());
    ASSERT_NE(cascade, nullptr);
    // Opened in an expanded chain: every line shows, the unused ones on the band.
    EXPECT_FALSE(cascade->IsMarkVisible());
    EXPECT_EQ(recent->ItemLinks()->CanVisibleItemCount(), 3);
    std::vector<bool> rarely;
    for (int i = 0; i < 3; ++i)
        rarely.push_back(
            dynamic_cast<TdxBarItemControl*>(recent->ItemLinks()->Items(i)->Control())->RarelyUsed);
    EXPECT_EQ(rarely, (std::vector<bool>{true, false, true}));
    Save("cascade");
    if (const char* hold = std::getenv("PW_RARELY_USED_HOLD_MS")) testsupport::PumpFor(std::atoi(hold));
}

} // namespace
} // namespace bars_windows_test
