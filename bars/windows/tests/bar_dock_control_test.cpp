// A dock site the form places itself: toolbars dock in it and size it, it keeps a colour, a sunken
// border and a picture of its own or the manager's, refuses toolbars when told, turns them with its
// alignment, and takes them back when the form's window is made again. Saves placed-dock-site.png.
#include <gtest/gtest.h>

#include <filesystem>

#include "bar_windows_fixture.h"
#include "bars/windows/bar_dock_control.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/paths.h"

namespace bars_windows_test {
namespace {

class PlacedDockSiteTest : public BarWindowsTest {
protected:
    PlacedDockSiteTest() {
        site = new bars::TdxBarDockControl(&form);
        site->SetAlign(alNone);
        site->SetParent(&form);
        site->SetBounds(100, 150, 300, 0);
        site->OnResize = [this](TObject*) { ++resizes; };
        site->SetBarManager(manager);
    }
    TdxBar* DockedHere(const std::string& caption, std::initializer_list<TdxBarItem*> items) {
        TdxBar* bar = manager->Bars()->Add();
        bar->SetCaption(caption);
        for (TdxBarItem* item : items)
            bar->ItemLinks()->Add()->SetItem(item);
        bar->SetDockControl(site);
        bar->SetVisible(true);
        Pump();
        return bar;
    }
    // A pixel of the form as shown, at a point of the site's window (window coordinates), as 0xRRGGBB.
    COLORREF SitePixel(int x, int y) {
        pw::gui::PaintPendingWindows();
        const Surface image = pw::gui::ComposeWindow(form.Handle());
        RECT formRect{}, siteRect{};
        GetWindowRect(form.Handle(), formRect);
        GetWindowRect(site->Handle(), siteRect);
        const uint32_t argb = image.Pixel(siteRect.left - formRect.left + x, siteRect.top - formRect.top + y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    }
    RECT BarRect(TdxBar* bar) {
        RECT r{};
        GetWindowRect(Window(bar)->Handle(), r);
        MapWindowPoints(nullptr, site->Handle(), r);
        return r;
    }

    bars::TdxBarDockControl* site = nullptr;
    int resizes = 0;
};

TEST_F(PlacedDockSiteTest, ToolbarsDockInItAndItTakesTheirHeightWithItsOwnOrTheManagersLooks) {
    TdxBarButton* open = Button("&Open");
    TdxBar* bar = DockedHere("Placed", {open});
    ASSERT_NE(Window(bar), nullptr);
    EXPECT_EQ(GetParent(Window(bar)->Handle()), site->Handle());
    EXPECT_FALSE(site->IsFormEdge());
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    RECT r{};
    GetWindowRect(Window(bar)->Handle(), r);
    EXPECT_EQ(site->Height(), r.bottom - r.top);
    EXPECT_GT(resizes, 0);
    Press(Centre(open, bar));
    Release(Centre(open, bar));
    EXPECT_EQ(Clicks(open), 1);
    // Its empty end has the manager's dock colour, until it takes one of its own.
    const int y = site->Height() / 2;
    EXPECT_EQ(SitePixel(280, y), ColorToRGB(manager->DockColor()));
    site->SetColor(clRed);
    EXPECT_TRUE(site->UseOwnColor());
    manager->SetAutoDockColor(false);
    manager->SetDockColor(clBlue);
    EXPECT_EQ(SitePixel(280, y), ColorToRGB(clRed));
    site->SetUseOwnColor(false);
    EXPECT_EQ(SitePixel(280, y), ColorToRGB(clBlue));

    // The manager's sunken border, then one of its own that the manager no longer changes.
    const int height = site->Height();
    manager->SetSunkenBorder(true);
    site->RecreateFrame();
    Pump();
    EXPECT_TRUE(site->SunkenBorder());
    EXPECT_EQ(site->ClientRect().bottom, site->Height() - 2);
    EXPECT_EQ(site->Height(), height + 2);
    EXPECT_EQ(SitePixel(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(SitePixel(site->Width() - 1, site->Height() - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    pw::gui::PaintPendingWindows();
    const auto shots = std::filesystem::path(ProgramDir()) / "screenshots";
    std::filesystem::create_directories(shots);
    EXPECT_TRUE(pw::gui::SaveWindowImage(form.Handle(), (shots / "placed-dock-site.png").string()));
    site->SetSunkenBorder(false);
    EXPECT_TRUE(site->UseOwnSunkenBorder());
    manager->SetSunkenBorder(true);
    EXPECT_FALSE(site->SunkenBorder());
    Pump();
    EXPECT_EQ(site->Height(), height);
}

TEST_F(PlacedDockSiteTest, ItsPictureIsTiledBehindItsToolbarsAndFollowsItsSize) {
    DockedHere("Placed", {Button("&Open")});
    TBitmap picture(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.Canvas().SetPixel(x, y, (x + y) % 2 == 0 ? clRed : clLime);
    site->SetBackgroundBitmap(&picture);
    EXPECT_TRUE(site->HasCustomBackground());
    auto expected = [](int x, int y) { return ColorToRGB((x + y) % 2 == 0 ? clRed : clLime); };
    EXPECT_EQ(SitePixel(280, 3), expected(280, 3));
    EXPECT_EQ(SitePixel(281, 3), expected(281, 3));
    // Wider, the new part is tiled too, in step with the rest.
    site->SetWidth(360);
    Pump();
    EXPECT_EQ(SitePixel(350, 4), expected(350, 4));
    EXPECT_EQ(SitePixel(351, 4), expected(351, 4));
    site->SetBackgroundBitmap(nullptr);
    EXPECT_EQ(SitePixel(350, 4), ColorToRGB(manager->DockColor()));
}

TEST_F(PlacedDockSiteTest, ItRefusesToolbarsWhenToldAndTurnsThemWithItsAlignment) {
    TdxBar* bar = DockedHere("Placed", {Button("&Open"), Button("&Save")});
    EXPECT_TRUE(manager->CanDocking(bar, dsTop, site));
    site->SetAllowDocking(false);
    EXPECT_FALSE(manager->CanDocking(bar, dsTop, site));
    site->SetAllowDocking(true);
    site->SetAlign(alLeft);
    Pump();
    ASSERT_TRUE(bar->Visible());
    EXPECT_EQ(bar->DockingStyle(), dsLeft);
    const RECT r = BarRect(bar);
    EXPECT_GT(r.bottom - r.top, r.right - r.left);
    EXPECT_EQ(site->Width(), r.right - r.left);
}

TEST_F(PlacedDockSiteTest, ItsToolbarsComeBackToItWhenTheFormsWindowIsMadeAgain) {
    TdxBarButton* open = Button("&Open");
    TdxBar* bar = DockedHere("Placed", {open});
    form.RecreateWnd();
    Pump();
    ASSERT_TRUE(bar->Visible());
    ASSERT_NE(Window(bar), nullptr);
    EXPECT_EQ(GetParent(Window(bar)->Handle()), site->Handle());
    EXPECT_TRUE(IsWindowVisible(Window(bar)->Handle()));
    EXPECT_FALSE(manager->HasBarsToShow());
    Press(Centre(open, bar));
    Release(Centre(open, bar));
    EXPECT_EQ(Clicks(open), 1);
}

TEST_F(PlacedDockSiteTest, ASiteThatOutlivesItsManagerForgetsItAndStillPaints) {
    DockedHere("Placed", {Button("&Open")});
    delete manager;
    manager = nullptr;
    EXPECT_EQ(site->BarManager(), nullptr);
    EXPECT_EQ(site->RowCount(), 0);
    site->Invalidate();
    Pump();
    // Without a manager it takes the form's colour.
    EXPECT_TRUE(site->ParentColor());
}

} // namespace
} // namespace bars_windows_test
