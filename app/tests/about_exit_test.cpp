// The About and exit windows, and the pictures and cursors the program draws for its windows.
#include <filesystem>

#include "app/back_splash_form.h"
#include "app/cursor_resource.h"
#include "app/main_form.h"
#include "app/open_address.h"
#include "app/picture_resources.h"
#include "app/site_map_about_form.h"
#include "dialog_hook.h"
#include "fake_opener.h"
#include "imaging/gif/gif_resource.h"
#include "imaging/png/png_resource.h"
#include "main_form_fixture.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphic.h"
#include "platform/graphics/picture.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/paths.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/application.h"
#include "platform/vcl/screen.h"

namespace app_test {
namespace {

using WindowsTest = MainFormTest;

fs::path Shots() {
    const fs::path shots = fs::path(ProgramDir()) / "screenshots";
    fs::create_directories(shots);
    return shots;
}

POINT CentreOnScreen(TControl& C) {
    const TPoint p = C.ClientToScreen(TPoint{C.Width() / 2, C.Height() / 2});
    return POINT{p.x, p.y};
}

TEST_F(WindowsTest, TheProgramsOwnPicturesAndCursorsLoad) {
    TPicture picture;
    struct Expected {
        const char* name;
        int width, height;
    };
    for (const Expected& e : {Expected{"QMPWABOUT", 64, 64}, Expected{"QMPWBANNER", 468, 60}}) {
        ASSERT_TRUE(LoadPNGResource(e.name, picture)) << e.name;
        EXPECT_EQ(picture.Width(), e.width) << e.name;
        EXPECT_EQ(picture.Height(), e.height) << e.name;
    }
    ASSERT_TRUE(LoadGIFResource("QUILLBACKSPLASH", picture));
    EXPECT_EQ(picture.Width(), 480);
    EXPECT_EQ(picture.Height(), 360);
    // Loading again replaces the picture alone.
    ASSERT_TRUE(LoadGIFResource("QUILLBACKSPLASH", picture));
    EXPECT_EQ(picture.Width(), 480);
    for (const char* name : {"HANDONLINECURSOR", "HANDCLOSECURSOR"}) {
        HCURSOR cursor = LoadCursorResource(name);
        ASSERT_NE(cursor, nullptr) << name;
        EXPECT_NE(pw::gui::CursorId(cursor), IDC_ARROW);
        DestroyCursor(cursor);
    }
    EXPECT_THROW(LoadCursorResource("QMPWLOGO"), EResNotFound);
    // A picture that is not there leaves the place empty and says why.
    EXPECT_FALSE(TryLoadPNGResource("NOSUCHPICTURE", picture));
    EXPECT_TRUE(TryLoadGIFResource("QUILLBACKSPLASH", picture));
}

TEST_F(WindowsTest, AboutShowsTheProductAndOpensItsPage) {
    Start();
    FakeOpener opener(dir_);
    DialogHook hook;
    hook.On<TfrmSiteMapAbout>([](TfrmSiteMapAbout& f) {
        Pump();
        EXPECT_TRUE(pw::gui::SaveWindowImage(f.Handle(), (Shots() / "about.png").string()));
        EXPECT_EQ(f.Caption(), "About");
        EXPECT_EQ(f.ClientWidth(), 380);
        EXPECT_EQ(f.lblAppName->Caption(), "Quillmark Pathweaver");
        EXPECT_EQ(f.lblAppVersion->Caption(), "Version 4.5");
        EXPECT_EQ(f.lblURL->Cursor(), crHandPoint);
        EXPECT_TRUE(f.Memo1->ReadOnly());
        EXPECT_EQ(f.Image1->Picture().Width(), 64);
        pw::gui::SimulateClick(CentreOnScreen(*f.lblURL));
        Pump();
        f.btnOk->Click();
    });
    form_->miAboutClick(nullptr);
    EXPECT_EQ(hook.Count(), 1);
    EXPECT_EQ(opener.Opened(), std::vector<std::string>{"https://www.quillmark.com/pathweaver/"});
}

// OK is the window's one button, neither default nor cancel: Escape leaves the window up, and Enter presses
// OK because it has the focus.
TEST_F(WindowsTest, AboutClosesWithEnterOnItsButtonButNotWithEscape) {
    Start();
    DialogHook hook;
    bool escapeClosed = true;
    hook.On<TfrmSiteMapAbout>([&](TfrmSiteMapAbout& f) {
        Pump();
        EXPECT_TRUE(f.btnOk->Focused());
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        Pump();
        escapeClosed = f.ModalResult() != mrNone;
        if (escapeClosed) return;
        pw::gui::SimulateKeyStroke(VK_RETURN);
        Pump();
        if (f.ModalResult() == mrNone) {
            ADD_FAILURE() << "Enter on OK closed nothing";
            f.SetModalResult(mrAbort);
        }
    });
    form_->miAboutClick(nullptr);
    EXPECT_EQ(hook.Count(), 1);
    EXPECT_FALSE(escapeClosed);
}

TEST_F(WindowsTest, TheExitWindowsAreasOpenTheirPagesAndThePictureMovesIt) {
    FakeOpener opener(dir_);
    DialogHook hook;
    RECT before{}, after{};
    hook.On<TfrmBackSplash>([&](TfrmBackSplash& f) {
        Pump();
        EXPECT_TRUE(pw::gui::SaveWindowImage(f.Handle(), (Shots() / "exit-window.png").string()));
        EXPECT_EQ(f.imgBackSplash->Picture().Width(), 480);
        EXPECT_EQ(f.imgGetWebHosting->BoundsRect(), f.lblGetWebHosting->BoundsRect());
        EXPECT_EQ(f.imgBuyNow->BoundsRect(), f.lblBuyNow->BoundsRect());
        EXPECT_EQ(f.imgSubmitNow->BoundsRect(), f.lblSubmit->BoundsRect());
        EXPECT_EQ(f.imgBuyNow->Cursor(), crHandOnline);
        EXPECT_NE(pw::gui::CursorId(Screen->Cursors(crHandOnline)), IDC_ARROW);
        // The picture shows its buttons where the areas are.
        TBitmap& shown = f.imgBackSplash->Picture().Bitmap();
        for (TLabel* area : {f.lblSubmit, f.lblGetWebHosting, f.lblBuyNow}) {
            const TRect r = area->BoundsRect();
            EXPECT_NE(shown.Canvas().Pixel(r.left + 10, (r.top + r.bottom) / 2), clWhite) << area->Name();
        }
        // Dragging the picture drags the window.
        GetWindowRect(f.Handle(), before);
        const TPoint start = f.ClientToScreen(TPoint{100, 40});
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{start.x, start.y});
        pw::gui::SimulateMouse(pw::gui::MouseAction::Down, POINT{start.x, start.y},
                               pw::gui::MouseButton::Left);
        pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{start.x + 30, start.y + 20});
        pw::gui::SimulateMouse(pw::gui::MouseAction::Up, POINT{start.x + 30, start.y + 20},
                               pw::gui::MouseButton::Left);
        Pump();
        GetWindowRect(f.Handle(), after);
        EXPECT_FALSE(f.Dragging) << "the drag ended with the button's release";
        pw::gui::SimulateClick(CentreOnScreen(*f.imgGetWebHosting));
    });
    ShowExitWindow("https://example.org/one/", "https://example.org/two/");
    EXPECT_EQ(hook.Count(), 1);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_EQ(opener.Opened(), std::vector<std::string>{"https://example.org/one/"});
    Pump();
    for (int i = 0; i < Screen->FormCount(); ++i)
        EXPECT_EQ(dynamic_cast<TfrmBackSplash*>(Screen->Forms(i)), nullptr) << "the window frees itself";

    // The second area opens the window's own address when none is given; the close box opens nothing.
    hook.Clear();
    hook.On<TfrmBackSplash>([](TfrmBackSplash& f) { f.imgBuyNow->OnClick(f.imgBuyNow); });
    ShowExitWindow("", "");
    EXPECT_EQ(opener.Opened(2).back(), "https://www.quillmark.com/store/pathweaver/");
    hook.Clear();
    hook.On<TfrmBackSplash>([](TfrmBackSplash& f) { f.Close(); });
    ShowExitWindow("", "");
    EXPECT_EQ(hook.Count(), 3);
    EXPECT_EQ(opener.OpenedNow().size(), 2u);
}

TEST_F(WindowsTest, TheExitWindowClosesWithEnterEscapeOrSpaceAndOpensNothing) {
    FakeOpener opener(dir_);
    for (BYTE key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        DialogHook hook;
        bool closed = false;
        hook.On<TfrmBackSplash>([&](TfrmBackSplash& f) {
            Pump();
            pw::gui::SimulateKeyStroke(key);
            Pump();
            closed = f.ModalResult() != mrNone;
            if (!closed) f.Close();
        });
        ShowExitWindow("", "");
        Pump();
        EXPECT_EQ(hook.Count(), 1);
        EXPECT_TRUE(closed) << "key " << int(key);
    }
    EXPECT_TRUE(opener.OpenedNow().empty());
}

TEST_F(WindowsTest, AddressesOfAPathsLengthAreRefusedAndAMissingPictureLeavesThePlaceEmpty) {
    FakeOpener opener(dir_);
    EXPECT_EQ(OpenAddress("https://example.org/" + std::string(236, 'a')), 2);
    ASSERT_EQ(prompter_->Texts().size(), 1u);
    EXPECT_EQ(prompter_->Texts()[0],
              "The path to the file is too long, please ensure the path is less than 255 characters.");
    EXPECT_GT(OpenAddress("https://example.org/" + std::string(235, 'a')), 32);
    EXPECT_EQ(opener.Opened().size(), 1u);

    DialogHook hook;
    hook.On<TfrmBackSplash>([](TfrmBackSplash& f) {
        EXPECT_EQ(f.imgBackSplash->Picture().Graphic(), nullptr);
        f.Close();
    });
    auto* form = new TfrmBackSplash(Application);
    form->PictureName = "NOSUCHPICTURE";
    form->ShowModal();
    EXPECT_EQ(hook.Count(), 1);
}

TEST_F(WindowsTest, AnUnattendedRunEndsWithoutTheExitWindow) {
    const std::string profile = MakeSampleProfile("auto.qpw", dir_ / "out");
    DialogHook hook;
    hook.On<TfrmBackSplash>([](TfrmBackSplash& f) { f.Close(); });
    Start({"-auto", profile});
    Pump();
    EXPECT_EQ(hook.Count(), 0);
    EXPECT_TRUE(fs::exists(dir_ / "out" / "sitemap.html"));
}

} // namespace
} // namespace app_test
