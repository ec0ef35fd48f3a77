#include <chrono>
#include <fstream>
#include <thread>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/site_map_settings.h"
#include "app/core/work_pace.h"
#include "app/main_form.h"
#include "app/results/result_tree.h"
#include "app/site_map_options_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "dialog_hook.h"
#include "main_form_fixture.h"
#include "platform/gdi/fonts.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/image.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/tree_view.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/timer.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

constexpr const char* kSaveQuestion =
    "The settings for the current profile have changed.\n\nDo you wish to save this profile?";

TEST_F(MainFormTest, StartsOnTheFirstPageWithTheDefaultsAndActivatesOnce) {
    Start();
    EXPECT_EQ(form_->Caption(), "Quillmark Pathweaver 4.5 - Untitled.qpw");
    EXPECT_EQ(form_->PageIndex(), 0);
    EXPECT_EQ(form_->pcMain->ActivePageIndex(), 0);
    EXPECT_EQ(form_->lblHeader->Caption(), "Gathering Information");
    EXPECT_FALSE(form_->btnBack->Enabled());
    EXPECT_EQ(form_->btnNext->Caption(), "&Next");
    EXPECT_EQ(form_->btnCancel->Caption(), "&Close");
    EXPECT_EQ(form_->editWebsite->Text(), "http://");
    EXPECT_FALSE(form_->Profile().Modified());
    EXPECT_TRUE(form_->CommandLineProfile().empty());
    EXPECT_FALSE(form_->AutoMode());
    for (TRzTabSheet* sheet : {form_->tsInformation, form_->tsStatus, form_->tsResults})
        EXPECT_FALSE(sheet->TabVisible());
    // The logo and the globe come from the program's own resources.
    ASSERT_NE(form_->imgLogo->Picture().Graphic(), nullptr);
    EXPECT_EQ(form_->imgLogo->Picture().Width(), 200);
    EXPECT_EQ(form_->GlobeFrameCount(), 11);
    form_->FormActivate(form_);
    EXPECT_EQ(form_->GlobeFrameCount(), 11) << "a second activation adds nothing";
    EXPECT_TRUE(prompter_->Asked.empty());
}

TEST_F(MainFormTest, WalksTheWizardOnTheSampleSiteToTheWrittenFiles) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    Start({profile});
    EXPECT_EQ(form_->CommandLineProfile(), profile);
    EXPECT_EQ(form_->Profile().FileName(), profile);
    EXPECT_TRUE(form_->optLocal->Checked());
    EXPECT_TRUE(form_->editIndex->Enabled());

    form_->ButtonClick(form_->btnNext);
    // Gathering ends by pressing Next itself.
    EXPECT_EQ(form_->PageIndex(), 2);
    EXPECT_EQ(form_->lblHeader->Caption(), "Site Map Results");
    EXPECT_EQ(form_->btnNext->Caption(), "&Save");
    EXPECT_TRUE(form_->btnBack->Enabled());
    EXPECT_EQ(form_->lblTotalFiles->Caption(), "Total Files Found: 20");
    EXPECT_EQ(form_->lblStatusTitle->Caption(), "Search Complete! Press Next to View Results.");
    ASSERT_GT(form_->tvMap->Items().Count(), 14);
    EXPECT_TRUE(form_->tvMap->Items().GetFirstNode()->Expanded());

    form_->ButtonClick(form_->btnBack);
    EXPECT_EQ(form_->PageIndex(), 0);
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);

    form_->ButtonClick(form_->btnNext);
    EXPECT_FALSE(form_->OutputFailed()) << form_->lblGenerationStatus->Caption();
    const std::string html = ReadFile(out / "sitemap.html");
    EXPECT_NE(html.find("Spring Catalogue 2026"), std::string::npos);
    EXPECT_NE(html.find("Εργαλεία κήπου Meadowbrook"), std::string::npos);
    EXPECT_NE(html.find("catalogue.pdf"), std::string::npos);
    EXPECT_NE(ReadFile(out / "sitemap.xml").find("<loc>http://www.meadowbrook.example/about/team.html</loc>"),
              std::string::npos);
    EXPECT_EQ(form_->XmlFileName(), (out / "sitemap.xml").string());
    EXPECT_EQ(form_->btnNext->Caption(), "Done");
    EXPECT_EQ(form_->lblGenerationStatus->Caption(), "Site Map Complete!");
    EXPECT_EQ(form_->lblGenerationFile->Caption(),
              "Your generated Site Map was saved to the following file:\n" + (out / "sitemap.html").string());
    EXPECT_FALSE(form_->btnNext->Enabled());
    EXPECT_EQ(form_->btnCancel->Caption(), "&Close");
    EXPECT_TRUE(form_->FtpEnabled());
    EXPECT_EQ(form_->GeneratedHtml(), html);
    EXPECT_FALSE(form_->Profile().Modified()) << "the profile is saved after the output";

    // Any change to the output settings makes the output due again.
    form_->chkGoogle->SetChecked(false);
    EXPECT_EQ(form_->btnNext->Caption(), "&Save");
    EXPECT_TRUE(form_->btnNext->Enabled());
    EXPECT_FALSE(form_->FtpEnabled());

    // Close on the results page, keeping the change out of the profile file.
    prompter_->Button(IDNO);
    form_->ButtonClick(form_->btnCancel);
    EXPECT_FALSE(form_->Visible());
    EXPECT_EQ(prompter_->Texts(), std::vector<std::string>{kSaveQuestion});
}

TEST_F(MainFormTest, TheScanAndTheSiteMapTurnTheLoopAtTheirPaceNotPerFileOrNode) {
    // A site of 600 pages in 30 folders, scanned and written while the clock stands still.
    const fs::path site = dir_ / "site";
    fs::create_directories(site);
    std::ofstream(site / "index.html") << "<title>Home</title>";
    for (int f = 0; f < 30; ++f) {
        fs::create_directories(site / ("f" + std::to_string(f)));
        for (int i = 0; i < 20; ++i)
            std::ofstream(site / ("f" + std::to_string(f)) / ("p" + std::to_string(i) + ".html")) << "x";
    }
    const fs::path out = dir_ / "out";
    Start({MakeSampleProfile("pace.qpw", out)});
    form_->editIndex->SetText((site / "index.html").string());
    const auto still = std::chrono::steady_clock::now();
    form_->Pace().SetClock([still] { return still; });
    const long before = form_->Pace().Turns();

    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    EXPECT_EQ(form_->tvMap->Items().Count(), 1 + 1 + 30 + 600);
    // Every folder and page has its line in the log, in the walk's order, and the total after them.
    TStrings& lines = form_->memoFiles->Lines();
    ASSERT_EQ(lines.Count(), 1 + 1 + 30 + 600 + 1);
    EXPECT_EQ(lines[0], "Scanning Folder: " + site.string() + "/");
    EXPECT_EQ(lines[lines.Count() - 1], "Total Files: 632");
    const long scanned = form_->Pace().Turns();
    // The scan turned the loop as it began and as it ended, not once per folder or page.
    EXPECT_LE(scanned - before, 3);

    form_->ButtonClick(form_->btnNext);
    EXPECT_FALSE(form_->OutputFailed()) << form_->lblGenerationStatus->Caption();
    EXPECT_NE(ReadFile(out / "sitemap.html").find("f29/p19.html"), std::string::npos);
    // Writing the map of 632 nodes turned it once more, not once per node.
    EXPECT_LE(form_->Pace().Turns() - scanned, 2);
}

TEST_F(MainFormTest, AnUnattendedRunNobodyCanSeeNeverShowsTheWindowNorMeasuresItsLog) {
    // 300 pages: a log far longer than anything the window measures for its own labels.
    const fs::path site = dir_ / "site";
    fs::create_directories(site / "pages");
    std::ofstream(site / "index.html") << "<title>Home</title>";
    for (int i = 0; i < 300; ++i)
        std::ofstream(site / "pages" / ("p" + std::to_string(i) + ".html"))
            << "<title>Page " << i << "</title>";
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("unseen.qpw", out);
    {
        TMapProfile p;
        LoadProfileFile(p, profile, nullptr);
        p.SetIndexPage((site / "index.html").string());
        SaveProfileFile(p, nullptr);
    }
    form_ = new TfrmSiteMapMain(nullptr);
    bool shown = false;
    form_->OnShow = [&shown](TObject*) { shown = true; };
    form_->SetCommandLine({"-auto", profile});
    const long long measured = pw::gdi::TextsMeasured();
    form_->RunUnseen();
    EXPECT_FALSE(fs::exists(out / "sitemap.html")) << "the run starts from the message loop";
    Pump();

    EXPECT_FALSE(shown);
    EXPECT_FALSE(form_->Visible());
    EXPECT_FALSE(form_->AutoFailed());
    EXPECT_EQ(form_->CommandLineProfile(), profile);
    EXPECT_NE(ReadFile(out / "sitemap.html").find("Page 299"), std::string::npos);
    EXPECT_NE(ReadFile(out / "sitemap.xml").find("pages/p299.html</loc>"), std::string::npos);
    // The log and the page are all there, though nobody measured a line of them.
    TStrings& lines = form_->memoFiles->Lines();
    ASSERT_EQ(lines.Count(), 2 + 1 + 300 + 1);
    EXPECT_EQ(lines[lines.Count() - 1], "Total Files: 303");
    EXPECT_EQ(form_->GeneratedHtml(), ReadFile(out / "sitemap.html"));
    EXPECT_LT(pw::gdi::TextsMeasured() - measured, 100);
    EXPECT_EQ(form_->GlobeFrameCount(), 0) << "no pictures are decoded for an animation nobody sees";
}

TEST_F(MainFormTest, OutputFailureIsShownAsAFailureNotAsDone) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    Start({profile});
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    form_->editOutputFile->SetText((dir_ / "missing" / "folder" / "map.html").string());
    form_->ButtonClick(form_->btnNext);
    EXPECT_TRUE(form_->OutputFailed());
    EXPECT_EQ(form_->btnNext->Caption(), "&Save");
    EXPECT_TRUE(form_->btnNext->Enabled());
    EXPECT_FALSE(form_->FtpEnabled());
    EXPECT_FALSE(form_->btnFTPFiles->Enabled());
    EXPECT_EQ(form_->lblGenerationStatus->Caption().rfind("The site map could not be written: ", 0), 0u);
    ASSERT_EQ(prompter_->Texts().size(), 1u);
    EXPECT_TRUE(form_->Profile().Modified()) << "a failed output does not save the profile";
}

TEST_F(MainFormTest, AddressAndIndexFolderChecksKeepTheFirstPage) {
    Start();
    form_->optLocal->SetChecked(true);
    form_->editIndex->SetText((dir_ / "nowhere" / "index.html").string());
    form_->ButtonClick(form_->btnNext);
    EXPECT_EQ(form_->PageIndex(), 0);
    EXPECT_TRUE(form_->editIndex->Focused());

    form_->optWebsite->SetChecked(true);
    struct Case {
        const char* typed;
        const char* message;
    };
    for (const Case& c :
         {Case{"", "Please enter your website address."},
          Case{"  http://  ", "Please enter your website address."},
          Case{"ftp://x", "The website address must begin with \"http://\" or \"https://\"."}}) {
        prompter_->Asked.clear();
        form_->editWebsite->SetText(c.typed);
        form_->ButtonClick(form_->btnNext);
        EXPECT_EQ(form_->PageIndex(), 0) << c.typed;
        EXPECT_EQ(prompter_->Texts(), std::vector<std::string>{c.message}) << c.typed;
        EXPECT_TRUE(form_->editWebsite->Focused());
    }
    EXPECT_EQ(prompter_->Asked.back().caption, "Quillmark Pathweaver");

    // A good local folder with an address to complete.
    prompter_->Asked.clear();
    form_->optLocal->SetChecked(true);
    form_->editIndex->SetText((SampleSite() / "about" / "index.html").string());
    form_->editWebsite->SetText("intranet/site/");
    form_->ButtonClick(form_->btnNext);
    EXPECT_TRUE(prompter_->Texts().empty());
    EXPECT_EQ(form_->editWebsite->Text(), "http://intranet/site/");
    EXPECT_EQ(form_->PageIndex(), 2);
    EXPECT_EQ(form_->lblTotalFiles->Caption(), "Total Files Found: 4");
}

TEST_F(MainFormTest, SwitchingModesEmptiesTheIgnoreListsButShowingAProfileDoesNot) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    {
        TMapProfile p;
        LoadProfileFile(p, profile, nullptr);
        p.SetIgnoreFolders((SampleSite() / "news").string() + "/");
        SaveProfileFile(p, nullptr);
    }
    Start({profile});
    EXPECT_EQ(form_->IgnoreFolderList().Count(), 1);
    form_->ButtonClick(form_->btnNext);
    EXPECT_EQ(ReadFile(dir_ / "out" / "sitemap.html"), "") << "nothing written before Save";
    EXPECT_EQ(form_->lblTotalFiles->Caption(), "Total Files Found: 17")
        << "news/ and its two pages are ignored";
    form_->ButtonClick(form_->btnBack);
    form_->optWebsite->SetChecked(true);
    EXPECT_EQ(form_->IgnoreFolderList().Count(), 0);
    EXPECT_EQ(form_->Profile().IgnoreFolders(), "");
    EXPECT_EQ(form_->Profile().SpiderType(), mstWebsite);
    EXPECT_FALSE(form_->editIndex->Enabled());
}

TEST_F(MainFormTest, SaveQuestionOnClose) {
    Start();
    form_->editWebsite->SetText("http://changed.example/");
    ASSERT_TRUE(form_->Profile().Modified());

    prompter_->Button(IDCANCEL);
    form_->Close();
    EXPECT_TRUE(form_->Visible());
    EXPECT_FALSE(fs::exists(config_ / "pathweaver" / "forminfo.ini"))
        << "placement kept only on a real close";

    // Yes on an untitled profile asks for a name; cancelling that keeps the window.
    prompter_->Button(IDYES);
    prompter_->File("");
    form_->Close();
    EXPECT_TRUE(form_->Visible());

    const fs::path saved = dir_ / "changed.qpw";
    prompter_->Button(IDYES);
    prompter_->File(saved.string());
    form_->Close();
    EXPECT_FALSE(form_->Visible());
    EXPECT_TRUE(fs::exists(config_ / "pathweaver" / "forminfo.ini"));
    TMapProfile reread;
    LoadProfileFile(reread, saved.string(), nullptr);
    EXPECT_EQ(reread.Website(), "http://changed.example/");
    EXPECT_EQ(form_->Caption(), "Quillmark Pathweaver 4.5 - " + saved.string());
}

TEST_F(MainFormTest, SaveQuestionOnOpenAndProfilesThatDoNotLeak) {
    const std::string first = MakeSampleProfile("first.qpw", dir_ / "out");
    {
        TMapProfile p;
        LoadProfileFile(p, first, nullptr);
        p.SetIgnoreFiles("/x/secret.html");
        p.SetDefPri(0);
        SaveProfileFile(p, nullptr);
    }
    Start({first});
    form_->editWebsite->SetText("http://edited.example/");

    // Cancel keeps everything as it is; no open dialog.
    prompter_->Button(IDCANCEL);
    form_->ButtonClick(form_->btnOpenProfile);
    EXPECT_EQ(prompter_->Asked.size(), 1u);
    EXPECT_EQ(form_->editWebsite->Text(), "http://edited.example/");

    // No drops the change and opens another profile, which inherits nothing of the first.
    TMapProfile other;
    ApplyNewProfileDefaults(other);
    other.SetWebsite("http://other.example/");
    other.SetFileName((dir_ / "other.qpw").string());
    SaveProfileFile(other, nullptr);
    prompter_->Asked.clear();
    prompter_->Button(IDNO);
    prompter_->File((dir_ / "other.qpw").string());
    form_->ButtonClick(form_->btnOpenProfile);
    EXPECT_EQ(form_->editWebsite->Text(), "http://other.example/");
    EXPECT_EQ(form_->Profile().IgnoreFiles(), "");
    EXPECT_EQ(form_->IgnoreFileList().Count(), 0);
    EXPECT_EQ(form_->Profile().DefPri(), 0.5);
    EXPECT_TRUE(form_->optWebsite->Checked());
    EXPECT_FALSE(form_->Profile().Modified());

    // Yes saves the change under the profile's own name first.
    form_->editWebsite->SetText("http://other2.example/");
    prompter_->Button(IDYES);
    prompter_->File(first);
    form_->ButtonClick(form_->btnOpenProfile);
    TMapProfile reread;
    LoadProfileFile(reread, (dir_ / "other.qpw").string(), nullptr);
    EXPECT_EQ(reread.Website(), "http://other2.example/");
    EXPECT_EQ(form_->Profile().FileName(), first);
    EXPECT_EQ(form_->Profile().DefPri(), 0.0) << "a priority of 0 survives the file";
    EXPECT_EQ(form_->Profile().IgnoreFiles(), "/x/secret.html");

    // A damaged file leaves the current profile and reports the stream's error.
    const fs::path broken = dir_ / "broken.qpw";
    std::ofstream(broken) << "not a profile";
    prompter_->Asked.clear();
    prompter_->File(broken.string());
    form_->ButtonClick(form_->btnOpenProfile);
    EXPECT_EQ(form_->Profile().FileName(), first);
    EXPECT_EQ(form_->Settings()->LastFile(), first);
    ASSERT_FALSE(prompter_->Texts().empty());
    EXPECT_NE(prompter_->Texts().back().find("Invalid stream format"), std::string::npos);
}

TEST_F(MainFormTest, OpensAProfileOfTheIndependentStreamWriterUnderThePathOpened) {
    const fs::path copy = dir_ / "moved.qpw";
    fs::copy_file(fs::path(PW_SOURCE_DIR) / "app/core/tests/golden/standard.qpw", copy);
    Start({copy.string()});
    EXPECT_EQ(form_->Profile().FileName(), copy.string()) << "not the path stored inside";
    EXPECT_EQ(form_->Caption(), "Quillmark Pathweaver 4.5 - " + copy.string());
    EXPECT_EQ(form_->editOutputFile->Text(), "/home/user/Desktop/sitemap.html");
    EXPECT_TRUE(form_->optWebsite->Checked());
    EXPECT_FALSE(form_->Profile().Modified());
    EXPECT_TRUE(prompter_->Asked.empty());
}

TEST_F(MainFormTest, SettingsAndPlacementSurviveARestart) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    // Larger than the window as laid out (with its menu bar and toolbar), which is its smallest size.
    form_->SetBounds(30, 40, 680, 620);
    form_->Settings()->SetLoadLast(true);
    form_->Close();
    ASSERT_FALSE(form_->Visible());
    Stop();
    EXPECT_TRUE(fs::exists(config_ / "pathweaver" / "SiteMap.dat"));

    // Without parameters the last profile comes back, and the window where it was.
    Start();
    EXPECT_EQ(form_->Profile().FileName(), profile);
    EXPECT_TRUE(form_->Settings()->LoadLast());
    const TRect bounds = form_->BoundsRect();
    EXPECT_EQ(bounds.left, 30);
    EXPECT_EQ(bounds.top, 40);
    EXPECT_EQ(bounds.right - bounds.left, 680);
    EXPECT_EQ(bounds.bottom - bounds.top, 620);
    Stop();

    // With a parameter that names nothing, the defaults are shown and the last profile is left alone.
    Start({"-nothing"});
    EXPECT_EQ(form_->Profile().FileName(), "Untitled.qpw");
}

TEST_F(MainFormTest, ACloseDuringTheScanWaitsForTheScanToUnwind) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    form_->Profile().SetModified(false);
    TTimer timer(nullptr);
    bool closedWhileBusy = false;
    timer.SetInterval(1);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        closedWhileBusy = form_->Busy();
        EXPECT_FALSE(form_->tvMap->Enabled());
        EXPECT_FALSE(form_->btnOpenProfile->Enabled());
        form_->Close();
        EXPECT_TRUE(form_->Visible()) << "not closed under the running scan";
        // A second press of Next during the run does nothing.
        form_->ButtonClick(form_->btnNext);
    };
    timer.SetEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    form_->ButtonClick(form_->btnNext);
    EXPECT_TRUE(closedWhileBusy);
    EXPECT_FALSE(form_->Visible()) << "closed once the scan had ended";
    EXPECT_EQ(form_->PageIndex(), 1) << "the closing run does not go on to the results";
    EXPECT_TRUE(form_->tvMap->Enabled());
}

TEST_F(MainFormTest, UndefinedButtonsAndMissingHelp) {
    Start();
    prompter_->Asked.clear();
    {
        DialogHook hook;
        hook.On<TfrmSiteMapOptions>([](TfrmSiteMapOptions& f) { f.btnCancel->Click(); });
        form_->btnProfileOptions->OnClick(form_->btnProfileOptions);
        EXPECT_EQ(hook.Count(), 1);
    }
    EXPECT_TRUE(prompter_->Asked.empty()) << "the options button has its own handler";
    TRzBitBtn stray(nullptr);
    stray.SetName("btnStray");
    form_->ButtonClick(&stray);
    ASSERT_EQ(prompter_->Texts().size(), 1u);
    EXPECT_EQ(prompter_->Texts()[0],
              "Button Action Undefined for Control \"btnStray\"\n\nPlease report this error."
              "\n\nPress CTRL-C to copy this message.");
    stray.SetTag(7);
    form_->ButtonClick(&stray);
    EXPECT_EQ(prompter_->Asked.size(), 1u);

    // The test program's folder has no help pages.
    WORD key = 112;
    form_->FormKeyUp(form_, key, TShiftState{});
    ASSERT_EQ(prompter_->Asked.size(), 2u);
    EXPECT_EQ(prompter_->Asked[1].caption, "File Not Found");
    EXPECT_EQ(prompter_->Asked[1].text.rfind("The help file could not be found:\n\n/", 0), 0u);
}

} // namespace
} // namespace app_test
