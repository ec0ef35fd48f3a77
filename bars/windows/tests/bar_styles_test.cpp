// One toolbar docked, one floating and one open menu in every style the manager offers, as the screen
// shows them: each style's frame, grip, faces and menu selection in its own colours, and the XP style,
// without visual styles, exactly as the enhanced one; a long menu with a tear-off bar and a scroll arrow,
// and the Office 2003 dock's gradient as its size and colours change. With PW_BAR_STYLES_SHOTS set to a
// folder each style's screen is saved there as a PNG; with PW_BAR_STYLES_HOLD_MS the windows stay up that
// long for a look (or a screenshot) under a display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/sub_item.h"
#include "bars/painters/painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

class BarStylesTest : public BarWindowsTest {
protected:
    ~BarStylesTest() override {
        if (bars::BarControl* active = GetActiveBarControl())
            if (auto* bar = dynamic_cast<bars::TCustomdxBarControl*>(active)) bar->HideAll();
        Pump();
    }

    // The menu bar with File, a docked toolbar and a floating one, the pointer over the toolbar's first
    // button.
    void Build(TdxBarManagerStyle style) {
        manager->SetStyle(style);
        open = Button("&Open");
        TdxBarButton* save = Button("&Save");
        save->SetButtonStyle(bsChecked);
        save->SetDown(true);
        TdxBarButton* exit = Button("E&xit");
        exit->SetEnabled(false);
        file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        for (TdxBarItem* item :
             {static_cast<TdxBarItem*>(open), static_cast<TdxBarItem*>(save), static_cast<TdxBarItem*>(exit)})
            file->ItemLinks()->Add()->SetItem(item);
        file->ItemLinks()->Items(2)->SetBeginGroup(true);
        menuBar = Toolbar("Menu", {file});
        menuBar->SetIsMainMenu(true);
        TdxBarButton* bold = Button("Bold");
        bold->SetButtonStyle(bsChecked);
        bold->SetDown(true);
        TdxBarButton* off = Button("Off");
        off->SetEnabled(false);
        TdxBarButton* more = Button("More");
        more->SetButtonStyle(bsDropDown);
        newButton = Button("New");
        tools = Toolbar("Tools", {newButton, bold, off, more}, dsTop, 1);
        tools->ItemLinks()->Items(1)->SetBeginGroup(true);
        floating = manager->Bars()->Add();
        floating->SetCaption("Float");
        floating->ItemLinks()->Add()->SetItem(Button("One"));
        floating->ItemLinks()->Add()->SetItem(Button("Two"));
        floating->SetFloatLeft(320);
        floating->SetFloatTop(300);
        floating->SetDockingStyle(dsNone);
        floating->SetVisible(true);
        Pump();
        MoveTo(Centre(newButton, tools));
        Pump();
    }

    // The File menu open with its first line under the pointer.
    void OpenMenu() {
        const POINT at = Centre(file, menuBar);
        Press(at);
        Release(at);
        menu = dynamic_cast<bars::TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
        ASSERT_NE(menu, nullptr);
        MoveTo(LinePoint(open));
        Pump();
    }

    // A point on an item's menu line, well inside its caption part.
    POINT LinePoint(TdxBarItem* item) const {
        for (int i = 0; i < file->ItemLinks()->Count(); ++i) {
            TdxBarItemLink* link = file->ItemLinks()->Items(i);
            if (link->Item() != item) continue;
            RECT r = link->ItemRect();
            MapWindowPoints(menu->Handle(), nullptr, r);
            return POINT{r.right - 12, (r.top + r.bottom) / 2};
        }
        return POINT{0, 0};
    }

    // The screen's colour at a point, as a COLORREF.
    static COLORREF Screen(POINT p) {
        const Surface s = pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + 1, p.y + 1});
        const uint32_t argb = s.Pixel(0, 0);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    // The colour at a point of a window, window coordinates (its frame included).
    static COLORREF At(HWND window, int x, int y) {
        RECT r{0, 0, 0, 0};
        GetWindowRect(window, r);
        return Screen(POINT{r.left + x, r.top + y});
    }
    static int Height(HWND window) {
        RECT r{0, 0, 0, 0};
        GetWindowRect(window, r);
        return r.bottom - r.top;
    }
    static int Width(HWND window) {
        RECT r{0, 0, 0, 0};
        GetWindowRect(window, r);
        return r.right - r.left;
    }

    void ShowAndSave(const std::string& name, RECT area = RECT{0, 0, 700, 520}) {
        Pump();
        if (const char* folder = std::getenv("PW_BAR_STYLES_SHOTS"))
            pw::gui::SaveScreenImage(area, std::string(folder) + "/bars-" + name + ".png");
        // Held on the screen for a person to look at, answering messages meanwhile.
        if (const char* hold = std::getenv("PW_BAR_STYLES_HOLD_MS")) testsupport::PumpFor(std::atoi(hold));
    }

    // Pixels of a colour inside a rectangle of the screen.
    static int Count(const RECT& r, COLORREF color) {
        const Surface s = pw::gui::ComposeScreen(r);
        int n = 0;
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                const uint32_t argb = s.Pixel(x, y);
                n += RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF) == color;
            }
        return n;
    }
    // The floating toolbar's caption band (screen coordinates).
    RECT FloatingCaption(int border) const {
        RECT r{0, 0, 0, 0};
        GetWindowRect(FloatingWindow(), r);
        return RECT{r.left + border, r.top + border, r.right - border - 32, r.top + border + 14};
    }

    // The screen rectangle of a toolbar button.
    RECT ButtonRect(int index) const {
        return Control(tools->ItemLinks()->Items(index)->Item(), tools)->ScreenRect();
    }
    COLORREF TopLeft(int index) const {
        const RECT r = ButtonRect(index);
        return Screen(POINT{r.left, r.top});
    }
    COLORREF BottomRight(int index) const {
        const RECT r = ButtonRect(index);
        return Screen(POINT{r.right - 1, r.bottom - 1});
    }

    // A File menu that can be torn off, taller than the work area, whose line under the bottom arrow
    // begins a group (its gap moves the lines down, so the line under the arrow may change).
    void OpenLongMenu() {
        TdxBar* torn = Toolbar("Torn", {Button("t")}, dsNone);
        torn->SetVisible(false);
        file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        for (int i = 0; i < 120; ++i)
            file->ItemLinks()->Add()->SetItem(Button("Line " + std::to_string(i)));
        file->SetDetachable(true);
        file->SetDetachingBar(torn->Index());
        menuBar = Toolbar("Menu", {file});
        menuBar->SetIsMainMenu(true);
        Pump();
        Press(Centre(file, menuBar));
        Release(Centre(file, menuBar));
        menu = dynamic_cast<bars::TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
        ASSERT_TRUE(menu != nullptr && menu->HasBottomArrow());
        for (int guard = 0; guard < 5; ++guard) {
            TdxBarItemLink* under = file->ItemLinks()->Items(menu->TopIndex() + menu->VisibleCount() - 1);
            under->SetBeginGroup(true);
            Pump();
        }
    }
    // The open menu with a margin round it (screen coordinates).
    RECT MenuArea() const {
        RECT r{0, 0, 0, 0};
        GetWindowRect(menu->Handle(), r);
        return RECT{r.left - 10, r.top - 30, r.right + 10, r.bottom + 10};
    }

    HWND ToolsWindow() const { return Window(tools)->Handle(); }
    HWND FloatingWindow() const { return Window(floating)->Handle(); }

    TdxBarButton* open = nullptr;
    TdxBarButton* newButton = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBar* menuBar = nullptr;
    TdxBar* tools = nullptr;
    TdxBar* floating = nullptr;
    bars::TdxBarSubMenuControl* menu = nullptr;
};

COLORREF Sys(int index) {
    return GetSysColor(index);
}

COLORREF BrushColor(HBRUSH brush) {
    pw::gdi::MemoryDC dc(nullptr, 1, 1);
    const RECT r{0, 0, 1, 1};
    FillRect(dc.Get(), &r, brush);
    return GetPixel(dc.Get(), 0, 0);
}

TEST_F(BarStylesTest, StandardBarsAreRaisedWithATwoLineGripAFourPixelFloatingFrameAndAHighlightedMenuLine) {
    Build(bmsStandard);
    // The hot button is raised, the checked one sunken, the disabled caption etched.
    ShowAndSave("standard-toolbar");
    EXPECT_EQ(TopLeft(0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(BottomRight(0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(TopLeft(1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(BottomRight(1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_GT(Count(ButtonRect(2), Sys(COLOR_BTNHIGHLIGHT)), 5);
    // The hot caption keeps the button text colour.
    EXPECT_GT(Count(ButtonRect(0), Sys(COLOR_BTNTEXT)), 10);
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ShowAndSave("standard-menu");
    const HWND tools = ToolsWindow();
    const int mid = Height(tools) / 2;
    EXPECT_EQ(At(tools, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(tools, Width(tools) - 1, Height(tools) - 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(tools, 4, mid), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(tools, 6, mid), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(tools, 7, mid), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(tools, 9, mid), Sys(COLOR_BTNSHADOW));
    // The floating toolbar: a 4-pixel frame and the small caption above its client area.
    const HWND floatingWindow = FloatingWindow();
    RECT window{0, 0, 0, 0}, client{0, 0, 0, 0};
    GetWindowRect(floatingWindow, window);
    GetClientRect(floatingWindow, client);
    POINT origin{0, 0};
    ClientToScreen(floatingWindow, origin);
    EXPECT_EQ(origin.x - window.left, 4);
    EXPECT_EQ(window.right - window.left - (client.right - client.left), 8);
    EXPECT_EQ(origin.y - window.top, 4 + bars::TdxBarItemControlPainter::Of(manager).GetCaptionHeight() + 1);
    EXPECT_EQ(At(floatingWindow, 1, 20), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(floatingWindow, 3, 20), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(floatingWindow, Width(floatingWindow) - 4 - 15 - 2, 6), Sys(COLOR_INACTIVECAPTION));
    // The line under the pointer is a highlight bar with its caption in the highlight text colour.
    EXPECT_EQ(Screen(LinePoint(open)), Sys(COLOR_HIGHLIGHT));
    // The open entry's caption on the menu bar keeps the button text colour on the button face.
    RECT entry = Control(file, menuBar)->ScreenRect();
    InflateRect(entry, -2, -2);
    EXPECT_EQ(Count(entry, Sys(COLOR_HIGHLIGHTTEXT)), 0);
    EXPECT_GT(Count(entry, Sys(COLOR_BTNTEXT)), 10);
    // The release of the click that opened the menu leaves it open; a second click closes it.
    EXPECT_TRUE(IsWindowVisible(menu->Handle()));
    const POINT at = Centre(file, menuBar);
    Press(at);
    Release(at);
    EXPECT_EQ(file->ItemLinks()->BarControl(), nullptr);
}

TEST_F(BarStylesTest, EnhancedBarsHaveOneGripLineAndTheXPStyleWithoutVisualStylesLooksTheSame) {
    Build(bmsEnhanced);
    ShowAndSave("enhanced-toolbar");
    EXPECT_EQ(TopLeft(0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(TopLeft(1), Sys(COLOR_BTNSHADOW));
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ShowAndSave("enhanced-menu");
    const HWND tools = ToolsWindow();
    const int mid = Height(tools) / 2;
    EXPECT_EQ(At(tools, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(tools, 3, mid), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(tools, 5, mid), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(tools, 6, mid), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(tools, 7, mid), Sys(COLOR_BTNFACE));
    EXPECT_EQ(Screen(LinePoint(open)), Sys(COLOR_HIGHLIGHT));
    // The caption's quick-customize mark stands at its left, the text after it.
    EXPECT_GT(Count(FloatingCaption(4), Sys(COLOR_CAPTIONTEXT)), 10);
    const Surface enhanced = pw::gui::ComposeWindow(tools);

    manager->SetStyle(bmsXP);
    Pump();
    EXPECT_EQ(&bars::TdxBarItemControlPainter::Of(manager), &bars::EnhancedBarPainter());
    const Surface xp = pw::gui::ComposeWindow(ToolsWindow());
    ASSERT_EQ(xp.Width(), enhanced.Width());
    ASSERT_EQ(xp.Height(), enhanced.Height());
    int differing = 0;
    for (int y = 0; y < xp.Height(); ++y)
        for (int x = 0; x < xp.Width(); ++x)
            differing += xp.Pixel(x, y) != enhanced.Pixel(x, y);
    EXPECT_EQ(differing, 0);
    ShowAndSave("xp-menu");
}

TEST_F(BarStylesTest, FlatBarsKeepTheirFaceFrameAndTheLighterHotBlendOnTheMenuLine) {
    Build(bmsFlat);
    ShowAndSave("flat-toolbar");
    EXPECT_EQ(TopLeft(0), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(Screen(POINT{ButtonRect(0).left + 1, ButtonRect(0).top + 1}),
              BrushColor(manager->FlatBrush(4)));
    EXPECT_EQ(Screen(POINT{ButtonRect(1).left + 1, ButtonRect(1).top + 1}),
              BrushColor(manager->FlatBrush(2)));
    // A checked button that shows only its caption is down by its face: no check mark over the caption.
    auto bold = static_cast<TdxBarButton*>(tools->ItemLinks()->Items(1)->Item());
    const int checkedText = Count(ButtonRect(1), Sys(COLOR_BTNTEXT));
    bold->SetDown(false);
    Pump();
    EXPECT_EQ(Count(ButtonRect(1), Sys(COLOR_BTNTEXT)), checkedText);
    bold->SetDown(true);
    Pump();
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ShowAndSave("flat-menu");
    const HWND tools = ToolsWindow();
    EXPECT_EQ(At(tools, 0, 0), Sys(COLOR_BTNFACE));
    EXPECT_EQ(Screen(LinePoint(open)), BrushColor(manager->FlatBrush(4)));
    // With its quick-customize mark at the caption's right end the caption still shows its text.
    EXPECT_GT(Count(FloatingCaption(4), Sys(COLOR_CAPTIONTEXT)), 10);
}

TEST_F(BarStylesTest, Office2003BarsCarryTheBarGradientABorderLineRoundedCornersAndAGlyphBandInMenus) {
    Build(bmsOffice11);
    ShowAndSave("office2003-toolbar");
    const TOffice11Colors& colors = Office11Colors();
    // Hot: the scheme's frame around the warm gradient; checked: one colour outside the XP schemes.
    EXPECT_EQ(TopLeft(0), ColorToRGB(colors.FrameColor));
    EXPECT_EQ(Screen(POINT{ButtonRect(0).left + 1, ButtonRect(0).top + 1}), ColorToRGB(colors.HotColor1));
    EXPECT_EQ(TopLeft(1), ColorToRGB(colors.FrameColor));
    EXPECT_EQ(Screen(POINT{ButtonRect(1).left + 2, ButtonRect(1).top + 2}), ColorToRGB(colors.CheckedColor));
    ASSERT_NO_FATAL_FAILURE(OpenMenu());
    ShowAndSave("office2003-menu");
    const HWND tools = ToolsWindow();
    const int w = Width(tools), h = Height(tools);
    // (The open menu lies over the bar's left part.)
    EXPECT_EQ(At(tools, w - 20, 1), ColorToRGB(colors.BarColor1));
    EXPECT_EQ(At(tools, w - 20, h - 1), ColorToRGB(colors.BarBorderColor));
    // The dock runs from its first colour at the left to its second at the right, and the menu bar and
    // the toolbar's corners show it behind them.
    const HWND site = Site(dsTop)->Handle();
    const RECT siteRect{0, 0, Width(site), Height(site)};
    EXPECT_EQ(At(site, Width(site) - 1, Height(site) - 1),
              ColorToRGB(
                  GetGradientColorAt(siteRect, Width(site) - 1, colors.DockColor1, true, colors.DockColor2)));
    EXPECT_NE(colors.DockColor1, colors.DockColor2);
    EXPECT_EQ(At(tools, 0, 0), At(tools, 0, -1));
    EXPECT_EQ(At(tools, w - 1, 0), At(tools, w - 1, -1));
    EXPECT_NE(At(tools, 1, 1), At(tools, 0, 0));
    // The menu: a frame, the glyph band at the left, the hot line in the selected colour.
    EXPECT_EQ(At(menu->Handle(), 0, 10), ColorToRGB(colors.FrameColor));
    const POINT exitLine = LinePoint(file->ItemLinks()->Items(2)->Item());
    RECT menuWindow{0, 0, 0, 0};
    GetWindowRect(menu->Handle(), menuWindow);
    EXPECT_EQ(Screen(POINT{menuWindow.left + 1, exitLine.y}), ColorToRGB(colors.MenuStripColor1));
    EXPECT_EQ(Screen(POINT{menuWindow.right - 4, exitLine.y}), ColorToRGB(colors.MenuColor));
    EXPECT_EQ(Screen(LinePoint(open)), ColorToRGB(colors.SelectedColor));
    // A floating toolbar: two outer rings and a lighter inner one.
    const HWND floatingWindow = FloatingWindow();
    EXPECT_EQ(At(floatingWindow, 0, 20), ColorToRGB(colors.FloatingBorderColor1));
    EXPECT_EQ(At(floatingWindow, 1, 20), ColorToRGB(colors.FloatingBorderColor1));
    EXPECT_EQ(At(floatingWindow, 2, 20), ColorToRGB(colors.FloatingBorderColor2));
    EXPECT_GT(Count(FloatingCaption(3), ColorToRGB(colors.CaptionTextColor)), 10);
}

TEST_F(BarStylesTest, AStandardMenuIsFramedAroundItsTearOffBarAndMarksTheGroupUnderItsBottomArrow) {
    manager->SetStyle(bmsStandard);
    ASSERT_NO_FATAL_FAILURE(OpenLongMenu());
    ShowAndSave("standard-long-menu", MenuArea());
    const HWND window = menu->Handle();
    const int w = Width(window), h = Height(window);
    // The outer ring's dark right edge, the tear-off bar's raised edge above its face ring and the bar.
    EXPECT_EQ(At(window, w - 1, h / 2), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(window, w / 2, 1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(window, w / 2, 2), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(window, w / 2, 4), Sys(COLOR_INACTIVECAPTION));
    // A highlight row above the bottom arrow; the rest of the group's gap is the face, whatever was
    // drawn there before.
    RECT arrow = menu->BottomArrowRect();
    MapWindowPoints(window, nullptr, arrow);
    const RECT row{arrow.left, arrow.top - 1, arrow.right, arrow.top},
        gap{arrow.left, arrow.top - 9, arrow.right, arrow.top - 1};
    EXPECT_EQ(Count(row, Sys(COLOR_BTNHIGHLIGHT)), row.right - row.left);
    EXPECT_EQ(Count(gap, Sys(COLOR_BTNFACE)), (gap.right - gap.left) * (gap.bottom - gap.top));
    // The same menu in the Office 2003 style, to look at.
    Press(Centre(file, menuBar));
    Release(Centre(file, menuBar));
    manager->SetStyle(bmsOffice11);
    Pump();
    Press(Centre(file, menuBar));
    Release(Centre(file, menuBar));
    menu = dynamic_cast<bars::TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
    ASSERT_NE(menu, nullptr);
    ShowAndSave("office2003-long-menu", MenuArea());
}

TEST_F(BarStylesTest, AnOffice2003DockKeepsItsGradientUntilItsSizeOrTheColoursChange) {
    Build(bmsOffice11);
    const HWND site = Site(dsTop)->Handle();
    const TOffice11Colors& colors = Office11Colors();
    auto dockAt = [&](int x) {
        const RECT r{0, 0, Width(site), Height(site)};
        return ColorToRGB(GetGradientColorAt(r, x, colors.DockColor1, true, colors.DockColor2));
    };
    const int x = Width(site) - 1, y = Height(site) - 1;
    const COLORREF before = At(site, x, y);
    EXPECT_EQ(before, dockAt(x));
    // New system colours make new scheme colours: drawn anew; so is a site made wider.
    const int index = COLOR_BTNFACE;
    const COLORREF old = GetSysColor(index), changed = RGB(200, 180, 160);
    SetSysColors(1, &index, &changed);
    SendMessage(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    Pump();
    const COLORREF after = At(site, x, y), expected = dockAt(x);
    SetSysColors(1, &index, &old);
    SendMessage(form.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_NE(after, before);
    EXPECT_EQ(after, expected);
    Pump();
    form.SetWidth(form.Width() + 100);
    Pump();
    EXPECT_EQ(At(site, x, y), dockAt(x));
    EXPECT_EQ(At(site, Width(site) - 1, y), dockAt(Width(site) - 1));
}

} // namespace
} // namespace bars_windows_test
