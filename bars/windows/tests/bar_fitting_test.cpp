// What the bars fit themselves to: a floating toolbar's width to its caption, a bottom site to what
// stands below it on the form, and a small-icon toolbar's pictures to the large ones it has.
#include <gtest/gtest.h>

#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/sub_item.h"
#include "bars/painters/painter.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/panels.h"

using namespace bars_windows_test;

namespace {

int WindowWidth(HWND Window) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(Window, r);
    return r.right - r.left;
}

TdxBar* FloatingBar(TdxBarManager* Manager, const std::string& Caption) {
    TdxBar* bar = Manager->Bars()->Add();
    bar->SetCaption(Caption);
    bar->SetDockingStyle(dsNone);
    bar->SetFloatLeft(200);
    bar->SetFloatTop(300);
    bar->SetVisible(true);
    Pump();
    return bar;
}

using BarFittingTest = BarWindowsTest;

} // namespace

// A floating toolbar with few buttons or none is as wide as its caption needs, close button and mark
// beside it; resizing it by hand does not make it narrower than that.
TEST_F(BarFittingTest, AFloatingToolbarIsAsWideAsItsCaption) {
    TdxBar* longer = FloatingBar(manager, "My Bar With A Long Caption");
    TdxBar* shorter = FloatingBar(manager, "M");
    ASSERT_NE(Window(longer), nullptr);
    const HWND window = Window(longer)->Handle();
    const bars::TdxBarItemControlPainter& painter = Window(longer)->Painter();
    const int room = painter.GetFloatingCaptionWidth(*Window(longer));
    EXPECT_EQ(WindowWidth(window), room + 2 * painter.GetFloatingBorderWidth());
    // The difference is the caption text's alone.
    EXPECT_GT(WindowWidth(window) - WindowWidth(Window(shorter)->Handle()), 100);

    // Buttons wider than the caption make the window wider still.
    longer->ItemLinks()->Add()->SetItem(Button("A button with a caption longer than the bar's own caption"));
    Pump();
    EXPECT_GT(WindowWidth(window), room + 2 * painter.GetFloatingBorderWidth());
    longer->ItemLinks()->Clear();
    longer->ItemLinks()->Add()->SetItem(Button("B"));
    Pump();
    EXPECT_EQ(WindowWidth(Window(longer)->Handle()), room + 2 * painter.GetFloatingBorderWidth());

    // Dragged narrower by its right edge, it keeps the caption's room.
    RECT r{0, 0, 0, 0};
    GetWindowRect(Window(longer)->Handle(), r);
    RECT narrower{r.left, r.top, r.left + 30, r.bottom};
    SendMessage(Window(longer)->Handle(), WM_SIZING, 2 /* the right edge */,
                reinterpret_cast<LPARAM>(&narrower));
    EXPECT_EQ(narrower.right - narrower.left, room + 2 * painter.GetFloatingBorderWidth());

    // Given another caption it fits that one at once, wider or narrower.
    const HWND small = Window(shorter)->Handle();
    const int narrow = WindowWidth(small);
    shorter->SetCaption("My Bar With Another Long Caption");
    EXPECT_EQ(WindowWidth(small),
              painter.GetFloatingCaptionWidth(*Window(shorter)) + 2 * painter.GetFloatingBorderWidth());
    EXPECT_GT(WindowWidth(small), narrow + 100);
    shorter->SetCaption("M");
    EXPECT_EQ(WindowWidth(small), narrow);
}

// The bottom site grows upwards, keeping its bottom edge: a status bar below it stays at the form's
// bottom, the site and its toolbars above it.
TEST_F(BarFittingTest, TheBottomSiteStaysAboveWhatStandsBelowIt) {
    auto* status = new TPanel(&form);
    status->SetParent(&form);
    status->SetHeight(20);
    status->SetTop(form.ClientHeight());
    status->SetAlign(alBottom);
    Pump();
    ASSERT_EQ(status->Top() + status->Height(), form.ClientHeight());
    TdxBar* bottom = Toolbar("Bottom", {Button("Open"), Button("Save")}, dsBottom);
    auto* site = dynamic_cast<TControl*>(Site(dsBottom));
    ASSERT_NE(site, nullptr);
    EXPECT_GT(site->Height(), 0);
    EXPECT_EQ(status->Top() + status->Height(), form.ClientHeight());
    EXPECT_EQ(site->Top() + site->Height(), status->Top());
    // A second row grows it upwards again.
    Toolbar("Second", {Button("Print")}, dsBottom, 1);
    EXPECT_EQ(site->Top() + site->Height(), status->Top());
    bottom->SetVisible(false);
    Pump();
    EXPECT_EQ(site->Top() + site->Height(), status->Top());
    EXPECT_EQ(status->Top() + status->Height(), form.ClientHeight());
}

// With large icons off, a toolbar button that has only a large picture shows it made small, once for
// all buttons and kept while the large pictures stay the same; a menu line shows no picture it lacks.
TEST_F(BarFittingTest, ASmallIconToolbarShowsLargePicturesMadeSmall) {
    auto* large = new TImageList(32, 32, &form);
    TBitmap picture(32, 32);
    picture.Canvas().Brush().SetColor(static_cast<TColor>(0xFF00FF));
    picture.Canvas().FillRect(TRect{0, 0, 32, 32});
    picture.Canvas().Brush().SetColor(static_cast<TColor>(0x0000FF)); // red
    picture.Canvas().FillRect(TRect{8, 8, 24, 24});
    large->AddMasked(&picture, static_cast<TColor>(0xFF00FF));
    manager->SetUseLargeImagesForLargeIcons(true);
    manager->SetLargeImages(large);
    manager->SetLargeIcons(false);
    TdxBarButton* open = Button("Open");
    open->SetImageIndex(0);
    open->SetPaintStyle(psCaptionGlyph);
    TdxBarSubItem* file = new TdxBarSubItem(&form);
    file->SetCaption("File");
    file->ItemLinks()->Add()->SetItem(open);
    TdxBar* tools = Toolbar("Tools", {file, open});
    bars::TdxBarItemControl* button = Control(open, tools);
    ASSERT_NE(button, nullptr);
    TCustomImageList* small = button->PaintImages();
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Width(), 16);
    EXPECT_EQ(small->Count(), 1);
    EXPECT_EQ(manager->SmallImagesFromLarge(), small); // made once
    // Drawn: the picture's middle is red, its clear corner the bar's own.
    Pump();
    pw::gui::PaintPendingWindows();
    const RECT r = button->ScreenRect();
    const Surface shot = pw::gui::ComposeScreen(r);
    // Lightened while the pointer is elsewhere, the red stays the strongest of its colours.
    int red = 0;
    for (int y = 0; y < shot.Height(); ++y)
        for (int x = 0; x < shot.Width(); ++x) {
            const uint32_t c = shot.Pixel(x, y);
            red += ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) < 160 && (c & 0xFF) < 160;
        }
    EXPECT_GE(red, 6 * 6);
    EXPECT_LE(red, 8 * 8);
    TBitmap made;
    small->GetBitmap(0, &made);
    EXPECT_EQ(made.Canvas().Pixel(8, 8), static_cast<TColor>(0x0000FF));
    // Another large picture: made again.
    large->AddMasked(&picture, static_cast<TColor>(0xFF00FF));
    EXPECT_EQ(manager->SmallImagesFromLarge()->Count(), 2);

    // A menu keeps to the small pictures, which it has none of.
    auto* entry = dynamic_cast<bars::TdxBarSubItemControl*>(Control(file, tools));
    ASSERT_NE(entry, nullptr);
    const POINT p = Centre(file, tools);
    Press(p);
    Release(p);
    bars::TdxBarSubMenuControl* menu = entry->GetSubMenuControl();
    ASSERT_NE(menu, nullptr);
    auto* line = dynamic_cast<bars::TdxBarItemControl*>(menu->ItemLinks()->Items(0)->Control());
    ASSERT_NE(line, nullptr);
    EXPECT_FALSE(line->HasPicture());
    Press(p);
    Release(p);
}
