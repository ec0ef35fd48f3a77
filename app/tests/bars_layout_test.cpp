// The main window keeps the user's layout of its bars between runs, in the program's settings store, and
// its bars follow the options of the customizing window.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "app/main_form.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/hint_window.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/item_control.h"
#include "controls/rz_buttons.h"
#include "controls/rz_status_bar.h"
#include "ftp/server_profile.h"
#include "main_form_fixture.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/registry.h"
#include "platform/stdctrls/image.h"

namespace app_test {
namespace {

class BarsLayoutTest : public MainFormTest {
protected:
    std::string StoredKey(const std::string& Sub = "") const {
        return "\\" + std::string(mainwin::kBarsRegistryPath) + (Sub.empty() ? "" : "\\" + Sub);
    }
    POINT Centre(TdxBarItem* Item, TdxBar* Bar) const {
        for (int i = 0; i < Bar->ItemLinks()->Count(); ++i)
            if (TdxBarItemLink* link = Bar->ItemLinks()->Items(i); link->Item() == Item) {
                const RECT r = dynamic_cast<bars::TdxBarItemControl*>(link->Control())->ScreenRect();
                return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            }
        return POINT{-1, -1};
    }
};

// A toolbar made with two commands, the main toolbar docked at the left and the options changed are
// there again at the next start; the store is the one beside the server profiles.
TEST_F(BarsLayoutTest, TheCustomizedLayoutComesBackAtTheNextStart) {
    Start();
    TdxBarManager* manager = form_->dxBarManager1;
    TdxBar* mine = manager->Bars()->Add();
    mine->SetCaption("My Bar");
    mine->ItemLinks()->Add()->SetItem(form_->miOpen);
    mine->ItemLinks()->Add()->SetItem(form_->miAbout);
    mine->SetDockingStyle(dsNone);
    mine->SetFloatLeft(500);
    mine->SetFloatTop(300);
    mine->SetVisible(true);
    form_->barMainToolbar->SetDockingStyle(dsLeft);
    manager->SetShowShortCutInHint(false);
    manager->SetMenuAnimations(maFade);
    Pump();
    Stop();
    EXPECT_EQ(RegistryStoreFile(), UserConfigDir() + "registry.dat");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly(StoredKey()));
        EXPECT_EQ(reg.ReadInteger("BarCount"), 3);
        reg.CloseKey();
        ASSERT_TRUE(reg.OpenKeyReadOnly(StoredKey("Bar2")));
        EXPECT_EQ(reg.ReadString("Caption"), "My Bar");
        EXPECT_EQ(reg.ReadInteger("ItemLinkCount"), 2);
    }

    Start();
    manager = form_->dxBarManager1;
    ASSERT_EQ(manager->Bars()->Count(), 3);
    TdxBar* back = manager->Bars()->Items(2);
    EXPECT_EQ(back->Caption(), "My Bar");
    EXPECT_TRUE(back->Visible());
    EXPECT_EQ(back->DockingStyle(), dsNone);
    ASSERT_EQ(back->ItemLinks()->Count(), 2);
    EXPECT_EQ(back->ItemLinks()->Items(0)->Item(), form_->miOpen);
    EXPECT_EQ(back->ItemLinks()->Items(1)->Item(), form_->miAbout);
    EXPECT_EQ(form_->barMainToolbar->DockingStyle(), dsLeft);
    EXPECT_TRUE(form_->barMainToolbar->Visible());
    EXPECT_EQ(form_->barMainMenu->DockingStyle(), dsTop);
    EXPECT_FALSE(manager->ShowShortCutInHint());
    EXPECT_EQ(manager->MenuAnimations(), maFade);
    // The wizard stands beside the toolbar at the left, as after a drag there.
    const TPoint logo = form_->ClientToScreen(TPoint{form_->imgLogo->Left(), form_->imgLogo->Top()});
    RECT toolbar{};
    GetWindowRect(form_->barMainToolbar->Control()->Handle(), toolbar);
    EXPECT_GE(logo.x, toolbar.right);
}

// A layout cut short by an older build (a bar count, no bars) or naming bars hidden leaves the window's
// two bars, which cannot be closed, shown where the form has them.
TEST_F(BarsLayoutTest, ALayoutThatHidesTheWindowsOwnBarsLeavesThemShown) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(StoredKey(), true));
        reg.WriteInteger("BarCount", 2);
        reg.CloseKey();
    }
    Start();
    EXPECT_TRUE(form_->barMainMenu->Visible());
    EXPECT_TRUE(form_->barMainToolbar->Visible());
    EXPECT_EQ(form_->barMainToolbar->DockingStyle(), dsTop);
    EXPECT_NE(form_->barMainToolbar->Control(), nullptr);
    Stop();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(StoredKey("Bar1")));
    EXPECT_EQ(reg.ReadInteger("Visible"), 1);
}

// A layout cut short anywhere (the store's file ended early: a full disk, a copy broken off) is applied
// whole or not at all: the window keeps its own bars, and the cut store is not written over as it goes.
// The server profiles before the layout in the store stay as they are.
TEST_F(BarsLayoutTest, ALayoutCutShortIsNotAppliedInPartNorWrittenBack) {
    JDServerData server;
    server.ItemName = "Home";
    server.HostName = "ftp.example.org";
    SaveServerProfiles({server});
    Start();
    TdxBar* mine = form_->dxBarManager1->Bars()->Add();
    mine->ItemLinks()->Add()->SetItem(form_->miAbout);
    mine->SetVisible(true);
    form_->barMainToolbar->SetDockingStyle(dsLeft);
    form_->barMainToolbar->ItemLinks()->Items(2)->SetVisible(false);
    Stop();
    const fs::path store = config_ / "pathweaver" / "registry.dat";
    const std::string whole = ReadFile(store);
    const size_t begin = whole.find("K :Software :Quillmark%20Software :Pathweaver :Bars");
    ASSERT_LT(whole.find(":Internet :Profiles"), begin);
    auto write = [&store](const std::string& text) { std::ofstream(store, std::ios::trunc) << text; };
    for (size_t at = begin + 1; at < whole.size() - 1; at += (whole.size() - begin) / 25) {
        SCOPED_TRACE(whole.substr(at - 40, 40));
        write(whole.substr(0, at));
        Start();
        EXPECT_EQ(form_->dxBarManager1->Bars()->Count(), 2);
        EXPECT_EQ(form_->barMainToolbar->DockingStyle(), dsTop);
        EXPECT_EQ(form_->barMainToolbar->ItemLinks()->VisibleItemCount(), 6);
        EXPECT_EQ(form_->barMainMenu->ItemLinks()->Count(), 3);
        EXPECT_EQ(form_->mnuFile->ItemLinks()->Count(), 4);
        Stop();
        EXPECT_EQ(ReadFile(store), whole.substr(0, at));
        JDServerData back;
        EXPECT_TRUE(LoadServerProfile("Home", back));
        EXPECT_EQ(back.HostName, "ftp.example.org");
    }
    write(whole);
    Start();
    EXPECT_EQ(form_->dxBarManager1->Bars()->Count(), 3);
    EXPECT_EQ(form_->barMainToolbar->DockingStyle(), dsLeft);
    EXPECT_EQ(form_->barMainToolbar->ItemLinks()->VisibleItemCount(), 5);
    EXPECT_EQ(form_->mnuFile->ItemLinks()->Count(), 4);
}

// Over a layout cut short the window's bars are saved once the user has changed them; a touch that
// changes nothing leaves the store as it was.
TEST_F(BarsLayoutTest, BarsTheUserChangedAreSavedOverALayoutCutShort) {
    Start();
    Stop();
    const fs::path store = config_ / "pathweaver" / "registry.dat";
    const std::string cut = ReadFile(store).substr(0, ReadFile(store).size() - 40);
    std::ofstream(store, std::ios::trunc) << cut;
    Start();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(form_->miSave, form_->barMainToolbar));
    Pump();
    Stop();
    EXPECT_EQ(ReadFile(store), cut);

    Start();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(form_->miOpen, form_->barMainToolbar));
    // Where a drag to the left edge leaves it.
    form_->barMainToolbar->SetDockingStyle(dsLeft);
    Pump();
    Stop();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(StoredKey()));
    EXPECT_FALSE(reg.CutShort());
    EXPECT_EQ(reg.ReadInteger("BarCount"), 2);
    ASSERT_TRUE(reg.OpenKeyReadOnly(StoredKey("Bar1")));
    EXPECT_EQ(reg.ReadInteger("DockingStyle"), dsLeft);
    EXPECT_EQ(reg.ReadInteger("ItemLinkCount"), 6);
}

// "Show shortcut keys in ToolTips" decides whether a toolbar button's hint names its shortcut.
TEST_F(BarsLayoutTest, HintsNameTheShortcutOnlyWhileTheOptionIsOn) {
    DWORD now = 300000;
    pw::gui::SetTickSource([&] { return now; });
    Start();
    auto hintOver = [&](TdxBarItem* item) {
        bars::CancelHint();
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{5, 5});
        Pump();
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, Centre(item, form_->barMainToolbar));
        Pump();
        now += 1000;
        Pump();
        return bars::IsHintShown() ? bars::BarHintWindow()->Caption() : std::string("(none)");
    };
    EXPECT_EQ(hintOver(form_->miOpen), "Open (Ctrl+O)");
    form_->dxBarManager1->SetShowShortCutInHint(false);
    EXPECT_EQ(hintOver(form_->miSave), "Save");
    form_->dxBarManager1->SetShowShortCutInHint(true);
    EXPECT_EQ(hintOver(form_->miSave), "Save (Ctrl+S)");
    pw::gui::SetTickSource(nullptr);
}

// With "Large icons" off the toolbar shows its pictures made small beside the captions, and is lower;
// the menus keep what they have (no pictures).
TEST_F(BarsLayoutTest, SmallIconsShowTheToolbarsPicturesMadeSmall) {
    Start();
    RECT large{};
    GetWindowRect(form_->barMainToolbar->Control()->Handle(), large);
    form_->dxBarManager1->SetLargeIcons(false);
    Pump();
    RECT small{};
    GetWindowRect(form_->barMainToolbar->Control()->Handle(), small);
    EXPECT_LT(small.bottom - small.top, large.bottom - large.top);
    for (int i = 0; i < form_->barMainToolbar->ItemLinks()->Count(); ++i) {
        auto* control =
            dynamic_cast<bars::TdxBarItemControl*>(form_->barMainToolbar->ItemLinks()->Items(i)->Control());
        ASSERT_NE(control, nullptr) << i;
        EXPECT_TRUE(control->HasPicture()) << i;
        ASSERT_NE(control->PaintImages(), nullptr) << i;
        EXPECT_EQ(control->PaintImages()->Width(), 16) << i;
    }
    EXPECT_EQ(form_->dxBarManager1->Images(), nullptr);
}

// A toolbar docked at the bottom stands above the status bar, which stays at the window's bottom.
TEST_F(BarsLayoutTest, AToolbarDockedAtTheBottomStandsAboveTheStatusBar) {
    Start();
    form_->barMainToolbar->SetDockingStyle(dsBottom);
    Pump();
    RECT toolbar{}, status{}, client{};
    GetWindowRect(form_->barMainToolbar->Control()->Handle(), toolbar);
    GetWindowRect(form_->sbMain->Handle(), status);
    GetClientRect(form_->Handle(), client);
    MapWindowPoints(form_->Handle(), nullptr, client);
    EXPECT_LE(toolbar.bottom, status.top);
    EXPECT_GT(toolbar.bottom, status.top - 10);
    EXPECT_EQ(status.bottom, client.bottom);

    // So again at the next start, the wizard's buttons above the toolbar.
    Stop();
    Start();
    GetWindowRect(form_->barMainToolbar->Control()->Handle(), toolbar);
    GetWindowRect(form_->sbMain->Handle(), status);
    GetClientRect(form_->Handle(), client);
    MapWindowPoints(form_->Handle(), nullptr, client);
    EXPECT_LE(toolbar.bottom, status.top);
    EXPECT_GT(toolbar.bottom, status.top - 10);
    EXPECT_EQ(status.bottom, client.bottom);
    const TPoint next = form_->ClientToScreen(TPoint{form_->btnNext->Left(), form_->btnNext->Top()});
    EXPECT_LE(next.y + form_->btnNext->Height(), toolbar.top);
}

} // namespace
} // namespace app_test
