// The windows through which a person chooses where the site map goes: the server choice, the files
// to upload, and the server manager opened from them, each as the program shows it (modally).
#include <filesystem>
#include <fstream>

#include "app/core/map_profile.h"
#include "app/req_files_form.h"
#include "app/site_map_ftp_form.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "dialog_hook.h"
#include "ftp/forms/quill_ftp.h"
#include "ftp/forms/server_wizard_form.h"
#include "ftp/forms/servers_form.h"
#include "ftp/server_profile.h"
#include "main_form_fixture.h"
#include "platform/commctrl/common_controls.h"
#include "platform/graphics/picture.h"
#include "platform/gui/drop_files.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/screenshot.h"
#include "platform/rtl/paths.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/file_properties.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"
#include "platform/stdctrls/tree_view.h"
#include "shellcontrols/rz_shell_list.h"

namespace app_test {
namespace {

using FtpWindowsTest = MainFormTest;

JDServerData Server(const std::string& Name) {
    JDServerData p;
    p.ItemName = Name;
    p.HostName = Name + ".example";
    p.Port = 21;
    p.Timeout = 60;
    return p;
}

void Shoot(TCustomForm& Form, const std::string& Name) {
    const fs::path shots = fs::path(ProgramDir()) / "screenshots";
    fs::create_directories(shots);
    Pump();
    EXPECT_TRUE(pw::gui::SaveWindowImage(Form.Handle(), (shots / (Name + ".png")).string())) << Name;
}

TEST_F(FtpWindowsTest, TheServerChoiceSelectsTheProfilesServerWhateverItsLetterCase) {
    SaveServerProfiles({Server("Home"), Server("Work")});
    TQuillFTP ftp(nullptr);
    TMapProfile profile;
    profile.SetServerName("work");
    profile.SetServerDir("old/dir");
    DialogHook hook;
    hook.On<TfrmSiteMapFTP>([](TfrmSiteMapFTP& f) {
        EXPECT_EQ(f.cboServer->Items().Count(), 2);
        EXPECT_EQ(f.cboServer->ItemIndex(), 1);
        EXPECT_TRUE(f.btnOk->Enabled());
        EXPECT_EQ(f.editRemoteUploadDir->Text(), "old/dir");
        Shoot(f, "ftp-server-choice");
        f.editRemoteUploadDir->SetText("public_html/sitemap/");
        f.btnOk->Click();
    });
    ASSERT_TRUE(ChooseUploadServer(profile, ftp));
    EXPECT_EQ(profile.ServerName(), "Work");
    EXPECT_EQ(profile.ServerDir(), "public_html/sitemap/");

    // A server that is gone: nothing selected, Upload off; Cancel changes nothing.
    profile.SetServerName("Gone");
    hook.Clear();
    hook.On<TfrmSiteMapFTP>([](TfrmSiteMapFTP& f) {
        EXPECT_EQ(f.cboServer->ItemIndex(), -1);
        EXPECT_FALSE(f.btnOk->Enabled());
        f.btnCancel->Click();
    });
    EXPECT_FALSE(ChooseUploadServer(profile, ftp));
    EXPECT_EQ(profile.ServerName(), "Gone");
}

TEST_F(FtpWindowsTest, AServerChosenInTheManagerIsSelectedInTheChoice) {
    SaveServerProfiles({Server("Home"), Server("Work")});
    TQuillFTP ftp(nullptr);
    TMapProfile profile;
    DialogHook hook;
    hook.On<TfrmSiteMapFTP>([](TfrmSiteMapFTP& f) {
        EXPECT_FALSE(f.btnOk->Enabled());
        f.btnEditAddServer->Click();
        EXPECT_EQ(f.cboServer->ItemIndex(), 0);
        EXPECT_TRUE(f.btnOk->Enabled());
        f.btnOk->Click();
    });
    hook.On<TwinServers>([](TwinServers& m) {
        EXPECT_EQ(m.btnOk->Caption(), "OK");
        m.tvServers->SetSelected(m.tvServers->Items().Item(0));
        Shoot(m, "ftp-server-manager");
        m.btnOk->Click();
    });
    ASSERT_TRUE(ChooseUploadServer(profile, ftp));
    EXPECT_EQ(profile.ServerName(), "Home");
    EXPECT_EQ(ftp.SelectedServerName, "Home");
    EXPECT_TRUE(ftp.ServerHasHost());
}

TEST_F(FtpWindowsTest, AManagerWithNoProfilesOpensTheWizardAndConnectWithoutAChoiceEmptiesTheName) {
    DialogHook hook;
    int wizards = 0;
    hook.On<TwinServerWizard>([&](TwinServerWizard& w) {
        ++wizards;
        w.SetModalResult(mrCancel);
    });
    hook.On<TwinServers>([](TwinServers& m) {
        Pump();
        EXPECT_TRUE(m.Profiles().empty());
        m.btnOk->Click();
    });
    std::string name = "Before";
    EXPECT_EQ(SelectServerDialog("Choose", name), 0);
    EXPECT_EQ(wizards, 1);
    EXPECT_EQ(name, "");

    hook.Clear();
    hook.On<TwinServerWizard>([&](TwinServerWizard& w) { w.SetModalResult(mrCancel); });
    hook.On<TwinServers>([](TwinServers& m) { m.btnClose->Click(); });
    name = "Before";
    EXPECT_EQ(SelectServerDialog("Choose", name), 0);
    EXPECT_EQ(name, "Before") << "Close leaves the name as it was";
}

TEST_F(FtpWindowsTest, TheFilesToUploadAreThoseOfTheListFoundInTheFolder) {
    const fs::path out = dir_ / "out";
    fs::create_directories(out);
    for (const char* name : {"sitemap.html", "smfile.gif", "other.html"})
        std::ofstream(out / name) << name;
    const std::vector<std::string> files{(out / "sitemap.html").string(), "", (out / "smfolder.gif").string(),
                                         (out / "smfile.gif").string()};
    DialogHook hook;
    hook.On<TwinReqFiles>([](TwinReqFiles& f) {
        EXPECT_EQ(f.FilterText(), "sitemap.html;;smfolder.gif;smfile.gif;");
        EXPECT_EQ(f.RzShellList1->FileNames(), (std::vector<std::string>{"sitemap.html", "smfile.gif"}));
        Shoot(f, "ftp-files-to-upload");
        f.btnFTPFiles->Click();
    });
    EXPECT_TRUE(ShowRequiredFiles(out.string(), &files));
    hook.Clear();
    hook.On<TwinReqFiles>([](TwinReqFiles& f) { f.SetModalResult(mrCancel); });
    EXPECT_FALSE(ShowRequiredFiles(out.string(), nullptr));
}

// The list of files to upload is a file manager's list: it is watched, and a right click on a file
// offers its menu, whose Properties shows the file's properties window. Its files can be dragged out, but
// the upload sends only the files the run wrote: a file dropped on the list would be copied beside them,
// out of sight and never sent, so the drop is refused where it is made.
TEST_F(FtpWindowsTest, ARightClickOnAFileToUploadOffersItsMenuAndItsProperties) {
    const fs::path out = dir_ / "out";
    fs::create_directories(out);
    std::ofstream(out / "sitemap.html") << "page";
    const std::string dropped = (dir_ / "notes.txt").string();
    std::ofstream(dropped) << "notes";
    const std::vector<std::string> files{(out / "sitemap.html").string()};
    DialogHook hook;
    std::string shown;
    hook.On<TwinReqFiles>([&](TwinReqFiles& f) {
        TRzShellList* list = f.RzShellList1;
        EXPECT_TRUE(list->Watching());
        EXPECT_TRUE(list->ShowHidden());
        EXPECT_TRUE(list->Options().Contains(sloContextMenus));
        EXPECT_TRUE(list->Options().Contains(sloDragDropFiles));
        const TPoint below = list->ClientToScreen(TPoint{list->Width() / 2, list->Height() - 10});
        const HWND window = GetAncestor(list->Handle(), GA_ROOT);
        EXPECT_EQ(pw::gui::FileDropTargetAt(window, POINT{below.x, below.y}), nullptr);
        EXPECT_FALSE(pw::gui::DropFiles(window, POINT{below.x, below.y}, {dropped}));
        Pump();
        EXPECT_EQ(list->FileNames(), std::vector<std::string>{"sitemap.html"});
        RECT r{};
        SendMessage(list->Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        const TPoint at = list->ClientToScreen(TPoint{r.left + 30, (r.top + r.bottom) / 2});
        pw::gui::SimulateClick(POINT{at.x, at.y}, pw::gui::MouseButton::Right);
        // The menu's loop takes Properties' letter; the properties window comes up from it.
        pw::gui::SimulateKey('R', true, U'r');
        pw::gui::SimulateKey('R', false);
        Pump();
        f.SetModalResult(mrCancel);
    });
    hook.On<TFilePropertiesForm>([&](TFilePropertiesForm& p) {
        shown = p.Caption();
        EXPECT_EQ(p.Rows.at(0).second->Caption(), "sitemap.html");
        EXPECT_EQ(p.Rows.at(2).second->Caption(), "4 bytes");
        Shoot(p, "ftp-file-properties");
        p.btnOK->Click();
    });
    EXPECT_FALSE(ShowRequiredFiles(out.string(), &files));
    EXPECT_EQ(shown, "sitemap.html Properties");
    EXPECT_TRUE(fs::exists(out / "sitemap.html"));
    EXPECT_FALSE(fs::exists(out / "notes.txt"));
}

TEST_F(FtpWindowsTest, TheFilesToUploadShowTheirHeadingPictureAndEscapeLeavesThem) {
    const fs::path out = dir_ / "out";
    fs::create_directories(out);
    std::ofstream(out / "sitemap.html") << "page";
    const std::vector<std::string> files{(out / "sitemap.html").string()};
    DialogHook hook;
    bool escaped = false;
    hook.On<TwinReqFiles>([&](TwinReqFiles& f) {
        EXPECT_NE(f.imgHeading, nullptr);
        if (f.imgHeading) {
            EXPECT_EQ(f.imgHeading->Parent(), f.RzPanel1);
            EXPECT_GT(f.imgHeading->Picture().Width(), 0) << "the heading has its picture";
            // The picture keeps to the heading's left end, clear of its centred caption.
            EXPECT_LE(f.imgHeading->Left() + f.imgHeading->Width(), f.RzPanel1->Width() / 4);
        }
        f.btnFTPFiles->SetFocus();
        Pump();
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
        Pump();
        escaped = f.ModalResult() == mrCancel;
        if (!escaped) f.SetModalResult(mrCancel);
    });
    EXPECT_FALSE(ShowRequiredFiles(out.string(), &files));
    EXPECT_TRUE(escaped);
    EXPECT_EQ(hook.Count(), 1);
}

} // namespace
} // namespace app_test
