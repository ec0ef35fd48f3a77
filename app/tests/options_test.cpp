// The profile options window: what it shows of a profile, what it gives back, the rules of its lists and
// colours, and the main window's ways into it.
#include <filesystem>
#include <fstream>
#include <initializer_list>

#include "app/colorpicker/color_picker_button.h"
#include "app/core/map_profile.h"
#include "app/core/site_map_settings.h"
#include "app/main_form.h"
#include "app/site_map_options_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_page_control.h"
#include "controls/rz_spin_edit.h"
#include "dialog_hook.h"
#include "main_form_fixture.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/screenshot.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/dialogs.h"

namespace app_test {
namespace {

using OptionsTest = MainFormTest;
constexpr TColor kNone = static_cast<TColor>(-1);

// A website-mode profile with a value in every field the window shows.
void FillProfile(TMapProfile& p) {
    p.SetSpiderType(mstWebsite);
    p.SetFileTypes("*.htm; *.html ;;*.php");
    p.SetIgnoreFolders("http://site/private/\n");
    p.SetIgnoreFiles("");
    p.SetUsePageTitles(true);
    p.SetclrBackground(kNone);
    p.SetclrText(static_cast<TColor>(0x000000));
    p.SetclrLink(static_cast<TColor>(0xFF0000));
    p.SetclrVisited(static_cast<TColor>(0x800080));
    p.SetclrActive(static_cast<TColor>(0x0000FF));
    p.SetAddImages(false);
    p.SetNoFolderImages(true);
    p.SetServerName("Home Server");
    p.SetServerDir("public_html/");
    p.SetDefFreq(cfWeekly);
    p.SetDefPri(0.3);
    p.SetFollowQueryText("sid=\n");
    p.SetModified(false);
}

TServerDirectory TwoServers(std::vector<std::string>& names, int& chosen) {
    TServerDirectory servers;
    servers.ServerNames = [&names] { return names; };
    servers.SelectServer = [&names, &chosen](std::string& name) {
        ++chosen;
        names.push_back("New Server");
        name = "New Server";
        return 1;
    };
    return servers;
}

TEST_F(OptionsTest, ShowsTheProfileAndWritesEveryValueBackOnOkOnly) {
    TMapProfile profile;
    FillProfile(profile);
    std::vector<std::string> names{"Work", "home server"};
    int chosen = 0;
    const TServerDirectory servers = TwoServers(names, chosen);
    DialogHook hook;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        EXPECT_EQ(f.pcMain->ActivePageIndex(), 0);
        EXPECT_EQ(f.lstIgnoreFolders->Items().Count(), 1);
        EXPECT_TRUE(f.chkUsePageTitles->Checked());
        EXPECT_TRUE(f.chkLoadLast->Checked());
        EXPECT_FALSE(f.chkNoFolderImages->Enabled()) << "images are off";
        EXPECT_TRUE(f.chkNoFolderImages->Checked());
        EXPECT_EQ(f.cboServer->ItemIndex(), 1) << "the server's name, whatever its letter case";
        EXPECT_EQ(f.cboChangeFreq->ItemIndex(), cfWeekly);
        EXPECT_EQ(f.cpbBackground->Caption(), "None");
        EXPECT_EQ(f.EditedColor(pcBackground), kNone);
        EXPECT_EQ(f.lstQueries->Items().Count(), 1);
        f.chkAddImages->SetChecked(true);
        EXPECT_TRUE(f.chkNoFolderImages->Enabled());
        f.chkLoadLast->SetChecked(false);
        f.cboChangeFreq->SetItemIndex(-1);
        f.spinPriority->SetText("7");
        f.RzBitBtn1->Click();
        EXPECT_EQ(f.cboServer->Text(), "New Server");
        f.editRemoteUploadDir->SetText("www/");
        f.btnOk->Click();
    });
    bool loadLast = true;
    ASSERT_TRUE(ShowProfileOptions(profile, loadLast, false, -1, servers));
    EXPECT_EQ(chosen, 1);
    EXPECT_FALSE(loadLast);
    EXPECT_TRUE(profile.Modified());
    EXPECT_EQ(profile.FileTypes(), "*.htm;*.html;*.php;") << "entries trimmed, the last one kept";
    EXPECT_EQ(profile.IgnoreFolders(), "http://site/private/\r\n");
    EXPECT_EQ(profile.clrBackground(), kNone);
    EXPECT_EQ(profile.clrLink(), static_cast<TColor>(0xFF0000));
    EXPECT_EQ(profile.DefFreq(), cfNothing) << "no entry chosen is unspecified";
    EXPECT_DOUBLE_EQ(profile.DefPri(), 1.0) << "kept within the spin edit's range";
    EXPECT_EQ(profile.ServerName(), "New Server");
    EXPECT_EQ(profile.ServerDir(), "www/");
    EXPECT_TRUE(profile.AddImages());
    EXPECT_EQ(profile.FollowQueryPartsList().Text(), "sid=\r\n");

    // Cancel leaves the profile and the setting as they were, whatever was changed in the window.
    hook.Clear();
    hook.On<TfrmSiteMapOptions>([](TfrmSiteMapOptions& f) {
        EXPECT_EQ(f.pcMain->ActivePageIndex(), 2) << "opened on the page asked for";
        f.editFileTypes->SetText("*.txt;");
        f.chkLoadLast->SetChecked(true);
        f.btnCancel->Click();
    });
    profile.SetModified(false);
    EXPECT_FALSE(ShowProfileOptions(profile, loadLast, false, 2, servers));
    EXPECT_FALSE(loadLast);
    EXPECT_EQ(profile.FileTypes(), "*.htm;*.html;*.php;");
    EXPECT_FALSE(profile.Modified());
}

TEST_F(OptionsTest, ColoursNoneAndAColourAfterItAndThePreviewShowsTheBackground) {
    TMapProfile profile;
    FillProfile(profile);
    DialogHook hook;
    hook.On<TfrmSiteMapOptions>([](TfrmSiteMapOptions& f) {
        // "None" on a page shows what a browser shows: a white page.
        EXPECT_EQ(f.pnlPreview->Color(), static_cast<TColor>(0xFFFFFF));
        f.cpbBackground->SetSelectionColor(static_cast<TColor>(0x00FFFF));
        EXPECT_EQ(f.cpbBackground->Caption(), "") << "a colour chosen after None";
        EXPECT_EQ(f.EditedColor(pcBackground), static_cast<TColor>(0x00FFFF));
        EXPECT_EQ(f.pnlPreview->Color(), static_cast<TColor>(0x00FFFF)) << "the preview's background";
        f.cpbLink->SetSelectionColor(static_cast<TColor>(0x008000));
        EXPECT_EQ(f.lblLink->Font().Color(), static_cast<TColor>(0x008000));
        f.cpbText->DefaultChosen();
        EXPECT_EQ(f.cpbText->Caption(), "None");
        EXPECT_EQ(f.EditedColor(pcText), kNone);
        f.btnOk->Click();
    });
    bool loadLast = false;
    ASSERT_TRUE(ShowProfileOptions(profile, loadLast, false, 1));
    EXPECT_EQ(profile.clrBackground(), static_cast<TColor>(0x00FFFF));
    EXPECT_EQ(profile.clrLink(), static_cast<TColor>(0x008000));
    EXPECT_EQ(profile.clrText(), kNone);

    hook.Clear();
    hook.On<TfrmSiteMapOptions>([](TfrmSiteMapOptions& f) {
        f.btnResetColors->Click();
        EXPECT_EQ(f.cpbText->Caption(), "");
        f.btnOk->Click();
    });
    ASSERT_TRUE(ShowProfileOptions(profile, loadLast, false, 1));
    EXPECT_EQ(profile.clrBackground(), static_cast<TColor>(0xFFFFFF));
    EXPECT_EQ(profile.clrText(), static_cast<TColor>(0x000000));
    EXPECT_EQ(profile.clrLink(), static_cast<TColor>(0xFF0000));
    EXPECT_EQ(profile.clrVisited(), static_cast<TColor>(0x800080));
    EXPECT_EQ(profile.clrActive(), static_cast<TColor>(0x0000FF));
}

TEST_F(OptionsTest, QueriesAreTrimmedAndAnEmptyOneIsNeverAdded) {
    TMapProfile profile;
    FillProfile(profile);
    DialogHook hook;
    hook.On<TfrmSiteMapOptions>([](TfrmSiteMapOptions& f) {
        f.editQueryAdd->SetFocus();
        EXPECT_FALSE(f.btnQueryAdd->Enabled());
        pw::gui::SimulateKeyStroke(VK_RETURN);
        Pump();
        EXPECT_EQ(f.lstQueries->Items().Count(), 1) << "Enter in an empty edit adds nothing";
        f.editQueryAdd->SetText("   ");
        EXPECT_FALSE(f.btnQueryAdd->Enabled());
        pw::gui::SimulateKeyStroke(VK_RETURN);
        Pump();
        EXPECT_EQ(f.lstQueries->Items().Count(), 1);
        EXPECT_EQ(f.editQueryAdd->Text(), "");
        f.editQueryAdd->SetText(" sort= ");
        EXPECT_TRUE(f.btnQueryAdd->Enabled());
        pw::gui::SimulateKeyStroke(VK_RETURN);
        Pump();
        ASSERT_EQ(f.lstQueries->Items().Count(), 2);
        EXPECT_EQ(f.lstQueries->Items()[1], "sort=");
        EXPECT_EQ(f.editQueryAdd->Text(), "");
        EXPECT_FALSE(f.btnQueryRemove->Enabled());
        f.lstQueries->SetSelected(0, true);
        f.lstQueries->OnClick(f.lstQueries);
        EXPECT_TRUE(f.btnQueryRemove->Enabled());
        f.btnQueryRemove->Click();
        EXPECT_FALSE(f.btnQueryRemove->Enabled());
        f.btnOk->Click();
    });
    bool loadLast = false;
    ASSERT_TRUE(ShowProfileOptions(profile, loadLast, false, 4));
    EXPECT_EQ(profile.FollowQueryPartsList().Text(), "sort=\r\n");
}

// Keys as a person gives them, from the main window's Alt+P on: the dialog's own loop answers them, so a
// key that closes the window leaves what came after it unanswered.
TEST_F(OptionsTest, EnterInTheQueryEditAddsTheTextAndNoKeyClosesTheWindow) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    auto click = [](TControl& c) {
        const TPoint at = c.ClientToScreen(TPoint{c.Width() / 2, c.Height() / 2});
        pw::gui::SimulateClick(POINT{at.x, at.y});
    };
    DialogHook hook;
    bool altUp = false;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        // A failed check leaves the window no longer waiting for a person who is not there.
        ScopeGuard end([&f] {
            if (f.ModalResult() == mrNone) f.SetModalResult(mrAbort);
        });
        // The fingers leave Alt once the window is up.
        if (!altUp) pw::gui::SimulateKey(VK_MENU, false);
        altUp = true;
        EXPECT_FALSE(f.btnOk->Default());
        EXPECT_FALSE(f.btnCancel->Cancel());
        f.pcMain->SetActivePageIndex(4);
        Pump();
        click(*f.editQueryAdd);
        Pump();
        for (BYTE key : std::initializer_list<BYTE>{'S', 'E', 'S', 'S', 'I', 'O', 'N', 'I', 'D', VK_OEM_PLUS})
            pw::gui::SimulateKeyStroke(key);
        Pump();
        ASSERT_TRUE(f.btnQueryAdd->Enabled());
        pw::gui::SimulateKeyStroke(VK_RETURN);
        Pump();
        EXPECT_EQ(f.ModalResult(), mrNone) << "Enter in the query edit closed the window";
        ASSERT_GT(f.lstQueries->Items().Count(), 0);
        EXPECT_EQ(f.lstQueries->Items()[f.lstQueries->Items().Count() - 1], "sessionid=");
        EXPECT_EQ(f.editQueryAdd->Text(), "");
        EXPECT_TRUE(f.editQueryAdd->Focused());
        // The list or the page's tabs hold no default either: Enter and Escape there end nothing.
        for (TWinControl* at : std::initializer_list<TWinControl*>{f.editQueryAdd, f.lstQueries, f.pcMain}) {
            at->SetFocus();
            Pump();
            pw::gui::SimulateKeyStroke(VK_RETURN);
            pw::gui::SimulateKeyStroke(VK_ESCAPE);
            Pump();
            EXPECT_EQ(f.ModalResult(), mrNone) << at->Name();
        }
        click(*f.btnOk);
        Pump();
    });
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKeyStroke('P');
    if (!altUp) pw::gui::SimulateKey(VK_MENU, false);
    Pump();
    ASSERT_EQ(hook.Count(), 1);
    const std::string queries = form_->Profile().FollowQueryPartsList().Text();
    EXPECT_NE(queries.find("sessionid=\r\n"), std::string::npos) << queries;
}

TEST_F(OptionsTest, WebsiteEntriesAreWholeAddressesAndFoldersEndInASlash) {
    TMapProfile profile;
    FillProfile(profile);
    ScriptedPrompter& person = *prompter_;
    DialogHook hook;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        person.File("  http://site/members  "); // a folder typed without its "/"
        f.btnAddFolder->Click();
        person.File("ftp://site/x/"); // not an address of a web site
        f.btnAddFolder->Click();
        person.File("http://SITE/private/"); // there already
        f.btnAddFolder->Click();
        person.File(""); // cancelled
        f.btnAddFolder->Click();
        person.File("https://site/old.html");
        f.btnFileAdd->Click();
        person.File("   ");
        f.btnFileAdd->Click();
        EXPECT_TRUE(f.lstIgnoreFolders->Selected(0)) << "the entry already there is selected";
        EXPECT_TRUE(f.btnRemoveFolder->Enabled());
        f.btnOk->Click();
    });
    bool loadLast = false;
    ASSERT_TRUE(ShowProfileOptions(profile, loadLast, false, -1));
    EXPECT_EQ(profile.IgnoreFolders(), "http://site/private/\r\nhttp://site/members/\r\n");
    EXPECT_EQ(profile.IgnoreFiles(), "https://site/old.html\r\n");
    const std::vector<std::string> said = person.Texts();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_NE(said[0].find("http://"), std::string::npos);
    EXPECT_EQ(said[1], "The folder you selected is already in the list.");
}

TEST_F(OptionsTest, LocalEntriesComeFromTheDialogsBelowTheIndexFolder) {
    const fs::path site = dir_ / "site";
    fs::create_directories(site / "Private");
    std::ofstream(site / "index.html") << "<title>x</title>";
    std::ofstream(site / "Draft.html") << "x";
    TMapProfile profile;
    FillProfile(profile);
    profile.SetSpiderType(mstLocal);
    profile.SetIgnoreFolders("");
    ScriptedPrompter& person = *prompter_;
    DialogHook hook;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        // Without an index page there is no folder to choose below.
        f.IndexPage = "";
        f.btnAddFolder->Click();
        f.IndexPage = (site / "index.html").string();
        person.File((site / "Private").string());
        f.btnAddFolder->Click();
        person.File((site / "Private").string());
        f.btnAddFolder->Click();
        person.File((site / "Draft.html").string());
        f.btnFileAdd->Click();
        person.File((site / "Draft.html").string());
        f.btnFileAdd->Click();
        // Delete in a list presses its remove button.
        f.lstIgnoreFiles->SetSelected(0, true);
        f.lstIgnoreFiles->OnClick(f.lstIgnoreFiles);
        f.lstIgnoreFiles->SetFocus();
        pw::gui::SimulateKeyStroke(VK_DELETE);
        Pump();
        EXPECT_EQ(f.lstIgnoreFiles->Items().Count(), 0);
        person.File((site / "Draft.html").string());
        f.btnFileAdd->Click();
        f.btnOk->Click();
    });
    bool loadLast = false;
    ASSERT_TRUE(ShowProfileOptions(profile, loadLast, true, -1));
    EXPECT_EQ(profile.IgnoreFolders(), (site / "Private").string() + "/\r\n");
    EXPECT_EQ(profile.IgnoreFiles(), (site / "Draft.html").string() + "\r\n") << "kept in its letter case";
    ASSERT_GE(person.Asked.size(), 3u);
    EXPECT_EQ(person.Asked[0].caption, "Select Index File First");
    EXPECT_EQ(person.Asked[1].kind, pw::vcl::PromptKind::SelectFolder);
    EXPECT_EQ(person.Asked[1].caption, "Select a Folder to Ignore");
    EXPECT_EQ(person.Texts().back(), "The folder you selected is already in the list.");
}

TEST_F(OptionsTest, TheMainWindowsButtonsOpenItAndItsListsFollowTheProfile) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    DialogHook hook;
    const fs::path shots = fs::path(ProgramDir()) / "screenshots";
    fs::create_directories(shots);
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        EXPECT_EQ(f.pcMain->ActivePageIndex(), 0);
        const char* names[] = {"files", "colors", "ftp", "output", "queries"};
        for (int page = 0; page < 5; ++page) {
            f.pcMain->SetActivePageIndex(page);
            Pump();
            EXPECT_TRUE(pw::gui::SaveWindowImage(
                f.Handle(), (shots / (std::string("options-") + names[page] + ".png")).string()));
        }
        f.lstIgnoreFolders->Items().Add(dir_.string() + "/site/skip/");
        f.chkLoadLast->SetChecked(!f.chkLoadLast->Checked());
        f.btnOk->Click();
    });
    const bool loadLast = form_->Settings()->LoadLast();
    form_->btnProfileOptions->Click();
    ASSERT_EQ(hook.Count(), 1);
    EXPECT_EQ(form_->Settings()->LoadLast(), !loadLast);
    ASSERT_EQ(form_->IgnoreFolderList().Count(), 1);
    EXPECT_EQ(form_->IgnoreFolderList()[0], dir_.string() + "/site/skip/");

    hook.Clear();
    hook.On<TfrmSiteMapOptions>([](TfrmSiteMapOptions& f) {
        EXPECT_EQ(f.pcMain->ActivePageIndex(), 2) << "the FTP page";
        f.btnCancel->Click();
    });
    form_->btnFtpOptions->Click();
    EXPECT_EQ(hook.Count(), 2);
}

TEST_F(OptionsTest, RemovingInvalidFoldersAfterANewIndexPageChangesTheProfileAtOnce) {
    const fs::path other = dir_ / "other";
    fs::create_directories(other);
    std::ofstream(other / "index.html") << "<title>other</title>";
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    form_->Profile().SetIgnoreFolders(SampleSite().string() + "/skip/\n");
    form_->IgnoreFolderList().SetText(form_->Profile().IgnoreFolders());
    prompter_->File((other / "index.html").string());
    prompter_->Button(IDYES);
    form_->btnBrowseIndex->Click();
    EXPECT_EQ(form_->IgnoreFolderList().Count(), 0);
    EXPECT_EQ(form_->Profile().IgnoreFolders(), "") << "the options and a save no longer bring it back";
}

TEST_F(OptionsTest, OpeningAProfileFromTheResultsReturnsToTheFirstPage) {
    const std::string first = MakeSampleProfile("first.qpw", dir_ / "out");
    const std::string second = MakeSampleProfile("second.qpw", dir_ / "out2");
    Start({first});
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    prompter_->File(second);
    form_->miOpenClick(nullptr);
    EXPECT_EQ(form_->PageIndex(), 0);
    EXPECT_EQ(form_->pcMain->ActivePageIndex(), 0);
    EXPECT_EQ(form_->Profile().FileName(), second);
    EXPECT_FALSE(form_->btnBack->Enabled());
}

} // namespace
} // namespace app_test
