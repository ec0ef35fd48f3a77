// A dock site the form places itself: toolbars dock in it and size it, it keeps a colour, a sunken
// border and a picture of its own or the manager's, refuses toolbars when told or out of the user's
// reach, turns them with its alignment, and takes them back when the form's window is made again.
// Saves placed-dock-site.png.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bar_windows_fixture.h"
#include "bars/windows/bar_dock_control.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_stream.h"
#include "platform/stdctrls/panels.h"

namespace bars_windows_test {
namespace {

// Once the press holds the mouse, the pointer moves to At (as it would in the hand, to the window
// that holds the mouse) and lets go there at the next tick.
struct Pointer {
    static inline POINT at{0, 0};
    static inline int ticks = 0;
    static void Fire(HWND, UINT, UINT_PTR id, DWORD) {
        if (ticks == 0 && GetCapture() == nullptr) return;
        if (++ticks == 1) {
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move, at);
            return;
        }
        KillTimer(nullptr, id);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, at, pw::gui::MouseButton::Left);
    }
};

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
    // Drags a new toolbar by its grip from the form's top edge to At and lets it go there: whether it
    // docked in this site.
    bool DocksHereAt(POINT At) {
        TdxBar* bar = Toolbar("Moved " + std::to_string(++moved), {Button("&Save")});
        RECT r{};
        GetWindowRect(Window(bar)->Handle(), r);
        const POINT grip{r.left + 4, r.top + 10};
        Pointer::at = At;
        Pointer::ticks = 0;
        StartTimer(5, &Pointer::Fire);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, grip);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, grip, pw::gui::MouseButton::Left);
        Pump();
        for (int i = 0; i < 200 && Pointer::ticks < 2; ++i)
            Pump();
        const bool here = bar->DockControl() == site;
        EXPECT_TRUE(here || bar->DockingStyle() == dsNone);
        bar->SetVisible(false);
        Pump();
        return here;
    }
    RECT BarRect(TdxBar* bar) {
        RECT r{};
        GetWindowRect(Window(bar)->Handle(), r);
        MapWindowPoints(nullptr, site->Handle(), r);
        return r;
    }

    bars::TdxBarDockControl* site = nullptr;
    int resizes = 0;
    int moved = 0;
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

// A toolbar dragged over the site docks there only where the user reaches the site: not while the site
// is disabled, nor where another control lies on it, also when the pointer is in the docking zone just
// outside the site.
TEST_F(PlacedDockSiteTest, AToolbarDocksHereOnlyWhileItIsEnabledAndWhereNothingLiesOnIt) {
    DockedHere("Placed", {Button("&Open")});
    RECT s{};
    GetWindowRect(site->Handle(), s);
    ASSERT_GT(s.bottom - s.top, 10);
    const POINT inside{s.left + 120, s.top + 4}, above{s.left + 120, s.top - 10};
    EXPECT_TRUE(DocksHereAt(inside));
    EXPECT_TRUE(DocksHereAt(above));
    site->SetEnabled(false);
    EXPECT_FALSE(DocksHereAt(inside));
    site->SetEnabled(true);

    auto* cover = new TPanel(&form);
    cover->SetParent(&form);
    cover->SetBounds(site->Left() + 100, site->Top() - 5, 100, 60);
    cover->BringToFront();
    Pump();
    EXPECT_FALSE(DocksHereAt(inside));
    EXPECT_FALSE(DocksHereAt(above));
    const POINT clear{s.left + 250, s.top + 4};
    EXPECT_TRUE(DocksHereAt(clear));
    cover->SetVisible(false);
    EXPECT_TRUE(DocksHereAt(inside));
}

TEST_F(PlacedDockSiteTest, AToolbarDocksNowhereInADisabledControl) {
    auto* holder = new TPanel(&form);
    holder->SetParent(&form);
    holder->SetBounds(site->Left(), site->Top(), site->Width(), 60);
    site->SetParent(holder);
    site->SetBounds(0, 0, holder->ClientWidth(), 0);
    DockedHere("Placed", {Button("&Open")});
    RECT s{};
    GetWindowRect(site->Handle(), s);
    const POINT inside{s.left + 120, s.top + 4};
    EXPECT_TRUE(DocksHereAt(inside));
    holder->SetEnabled(false);
    EXPECT_FALSE(DocksHereAt(inside));
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

// The form's stream as text, and the site read back from it as a new component of its class.
std::string StreamText(TComponent* Component, std::unique_ptr<TComponent>* ReadBack = nullptr) {
    TMemoryStream binary;
    WriteComponent(binary, Component);
    binary.SetPosition(0);
    if (ReadBack != nullptr) ReadBack->reset(ReadComponent(binary, nullptr));
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    return text.DataString();
}

TEST_F(PlacedDockSiteTest, ItGoesThroughAStreamAndComesBackAsASiteOfItsOwnClass) {
    form.SetName("PlacedSiteForm");
    site->SetName("dxBarDockControl1");
    manager->SetName("dxBarManager1");
    // As placed, it writes nothing beyond its place and its manager: the rest are its defaults.
    site->SetAlign(alTop);
    const std::string plain = StreamText(site);
    EXPECT_NE(plain.find("object dxBarDockControl1: TdxBarDockControl"), std::string::npos) << plain;
    EXPECT_NE(plain.find("BarManager = "), std::string::npos) << plain;
    for (const char* name : {"Align", "AllowDocking", "AllowZeroSizeInDesignTime", "Color", "ParentColor",
                             "SunkenBorder", "UseOwnColor", "UseOwnSunkenBorder", "Anchors", "Visible"})
        EXPECT_EQ(plain.find(std::string("  ") + name + " = "), std::string::npos) << name << "\n" << plain;

    site->SetAlign(alLeft);
    site->SetAllowDocking(false);
    site->SetAllowZeroSizeInDesignTime(true);
    site->SetColor(clRed);
    site->SetSunkenBorder(!site->SunkenBorder());
    site->SetAnchors(TAnchors{akLeft, akBottom});
    std::unique_ptr<TComponent> made;
    const std::string text = StreamText(site, &made);
    EXPECT_NE(text.find("Align = alLeft"), std::string::npos) << text;
    EXPECT_NE(text.find("Anchors = [akLeft, akBottom]"), std::string::npos) << text;
    auto* copy = dynamic_cast<bars::TdxBarDockControl*>(made.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), "dxBarDockControl1");
    EXPECT_EQ(copy->Align(), alLeft);
    EXPECT_FALSE(copy->AllowDocking());
    EXPECT_TRUE(copy->AllowZeroSizeInDesignTime());
    EXPECT_TRUE(copy->UseOwnColor());
    EXPECT_FALSE(copy->ParentColor());
    EXPECT_EQ(copy->Color(), clRed);
    EXPECT_TRUE(copy->UseOwnSunkenBorder());
    EXPECT_EQ(copy->SunkenBorder(), site->SunkenBorder());
    EXPECT_TRUE(copy->Anchors() == (TAnchors{akLeft, akBottom}));
    EXPECT_EQ(copy->Width(), site->Width());
    // Choosing the parent's colour from outside is the site's own choice too.
    auto* other = new bars::TdxBarDockControl(&form);
    other->SetBarManager(manager);
    other->SetOwnParentColor(false);
    EXPECT_TRUE(other->UseOwnColor());
}

// Its own picture is part of the form's stream: it comes back equal, and a site that reads it shows it.
TEST_F(PlacedDockSiteTest, ItsPictureGoesThroughTheStreamAndShowsWhenReadBack) {
    form.SetName("PlacedSiteForm");
    site->SetName("dxBarDockControl1");
    manager->SetName("dxBarManager1");
    DockedHere("Placed", {Button("&Open")});
    EXPECT_EQ(StreamText(site).find("BackgroundBitmap"), std::string::npos);
    TBitmap picture(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.Canvas().SetPixel(x, y, x == 0 ? clRed : (y == 0 ? clLime : clBlue));
    site->SetBackgroundBitmap(&picture);
    std::unique_ptr<TComponent> made;
    const std::string text = StreamText(site, &made);
    EXPECT_NE(text.find("BackgroundBitmap.Data = {"), std::string::npos) << text;
    auto* copy = dynamic_cast<bars::TdxBarDockControl*>(made.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->BackgroundBitmap()->Equals(&picture));
    EXPECT_TRUE(copy->HasBackgroundBitmap());

    TMemoryStream binary;
    WriteComponent(binary, site);
    site->SetBackgroundBitmap(nullptr);
    const COLORREF dock = ColorToRGB(manager->DockColor());
    EXPECT_EQ(SitePixel(290, 1), dock);
    binary.SetPosition(0);
    ReadComponent(binary, site);
    // Columns 0, 1, 2 of the picture fall on x = 288, 289, 290 of the site.
    EXPECT_EQ(SitePixel(288, 1), ColorToRGB(clRed));
    EXPECT_EQ(SitePixel(290, 0), ColorToRGB(clLime));
    EXPECT_EQ(SitePixel(290, 1), ColorToRGB(clBlue));
}

TEST_F(PlacedDockSiteTest, WhileTheFormIsDesignedAnEmptySiteIsAThreePixelStripOrNone) {
    site->SetDesigning(true);
    site->SetBounds(100, 150, 300, 40);
    EXPECT_EQ(site->Height(), 3);
    site->SetAllowZeroSizeInDesignTime(true);
    EXPECT_EQ(site->Height(), 0);
    site->SetAllowZeroSizeInDesignTime(false);
    EXPECT_EQ(site->Height(), 3);
    // Standing at the form's left it is as thin across.
    site->SetAlign(alLeft);
    site->SetBounds(0, 0, 40, 200);
    EXPECT_EQ(site->Width(), 3);
    site->SetAlign(alNone);
    site->SetBounds(100, 150, 300, 40);
    // The strip shows as a dashed outline.
    Pump();
    int dark = 0;
    for (int x = 0; x < 20; ++x)
        dark += SitePixel(x, 0) == RGB(0, 0, 0);
    EXPECT_GT(dark, 0);
    EXPECT_LT(dark, 20);
    // While it is read, it keeps the size the stream gives it.
    site->Loading();
    site->SetBounds(100, 150, 300, 40);
    EXPECT_EQ(site->GetRowsSize(), site->ClientRect().bottom);
    site->Loaded();
    // Not designed, an empty site is as thick as its rows: none.
    site->SetDesigning(false);
    site->SetBounds(100, 150, 300, 40);
    Pump();
    EXPECT_EQ(site->Height(), 0);
}

} // namespace
} // namespace bars_windows_test
