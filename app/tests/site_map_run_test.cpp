// The run without the main window: what it writes, what it tells its view and in which order, and how
// it ends when cancelled or when its output fails.
#include <sstream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/main_form.h"
#include "app/output/site_map_output.h"
#include "app/results/result_tree.h"
#include "app/site_map_run.h"
#include "controls/rz_buttons.h"
#include "main_form_fixture.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

// Keeps the steps the run reports, and what a window would show of them.
class RecordingView : public TSiteMapRunView {
public:
    void GatheringStarting() override { Steps.push_back("gathering"); }
    void ClearLog() override { Log.clear(); }
    void GatheringBegins(bool Local) override { Steps.push_back(Local ? "scan" : "crawl"); }
    void ShowFileCount(const std::string& S) override {
        Count = S;
        if (OnCount) OnCount();
    }
    void AppendLog(const std::string& Lines) override { Log += Lines + "\n"; }
    void GatheringEnded(int Files) override { Steps.push_back("gathered " + std::to_string(Files)); }
    void OutputStarting(int Parts) override { Steps.push_back("writing " + std::to_string(Parts)); }
    void OutputWritten(int Parts) override { Steps.push_back("written " + std::to_string(Parts)); }
    void OutputSucceeded(TSiteMapResult& Result) override {
        Steps.push_back("succeeded");
        Page = std::move(Result.GeneratedHtml);
    }
    void ProfileSaved() override { Steps.push_back("saved"); }
    void OutputCompleted() override { Steps.push_back("completed"); }
    void OutputFailed(const std::string& Reason) override { Steps.push_back("failed: " + Reason); }
    void UploadEnded(bool Uploaded) override { Steps.push_back(Uploaded ? "uploaded" : "not uploaded"); }
    std::vector<std::string> Steps;
    std::string Log;
    std::string Count;
    std::string Page;
    std::function<void()> OnCount;
};

// A run of the profile in ProfileFile, with no window anywhere, writing into Output.
struct UnseenRun {
    UnseenRun(const std::string& ProfileFile, const fs::path& Output) {
        LoadProfileFile(profile, ProfileFile, nullptr);
        profile.SetOutputFileName((Output / "sitemap.html").string());
        run.SetView(&view);
        run.SetUnattended(true);
    }
    TRzTreeView tree;
    TMapProfile profile;
    TStringList folders;
    TStringList files;
    TSiteMapRun run{tree, profile, folders, files};
    RecordingView view;
};

using SiteMapRunTest = MainFormTest;

TEST_F(SiteMapRunTest, WithoutAWindowItWritesWhatTheWizardWritesAndReportsEachStepInOrder) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "shown");
    Start({profile});
    form_->ButtonClick(form_->btnNext);
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->btnNext->Caption(), "Done");
    Stop();

    fs::create_directories(dir_ / "unseen");
    UnseenRun unseen(profile, dir_ / "unseen");
    ASSERT_TRUE(unseen.run.Gather(true));
    EXPECT_EQ(unseen.run.FileCount(), 20);
    EXPECT_EQ(unseen.view.Count, "20");
    EXPECT_NE(unseen.view.Log.find("catalogue.pdf"), std::string::npos) << unseen.view.Log;
    ASSERT_TRUE(unseen.run.WriteOutputs(nullptr));
    EXPECT_EQ(ReadFile(dir_ / "unseen" / "sitemap.html"), ReadFile(dir_ / "shown" / "sitemap.html"));
    EXPECT_EQ(ReadFile(dir_ / "unseen" / "sitemap.xml"), ReadFile(dir_ / "shown" / "sitemap.xml"));
    EXPECT_EQ(unseen.view.Page, ReadFile(dir_ / "unseen" / "sitemap.html"));
    EXPECT_EQ(unseen.run.XmlFileName(), (dir_ / "unseen" / "sitemap.xml").string());
    ASSERT_FALSE(unseen.run.UploadList().empty());
    EXPECT_EQ(unseen.run.UploadList().front(), (dir_ / "unseen" / "sitemap.html").string());
    // No server named: an unattended run asks for no upload, and that is no failure.
    EXPECT_TRUE(unseen.run.UploadUnattended());

    const int parts = unseen.tree.Items().Count() - 1;
    const std::vector<std::string> steps = {"gathering",
                                            "scan",
                                            "gathered 20",
                                            "writing " + std::to_string(parts),
                                            "written " + std::to_string(parts),
                                            "succeeded",
                                            "saved",
                                            "completed"};
    EXPECT_EQ(unseen.view.Steps, steps);
    EXPECT_FALSE(unseen.run.Gathering());
}

TEST_F(SiteMapRunTest, ACancelledScanKeepsWhatItFoundAndAFailedOutputIsNoSuccess) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    UnseenRun unseen(profile, dir_ / "missing" / "folder");
    unseen.view.OnCount = [&unseen] {
        EXPECT_TRUE(unseen.run.Gathering());
        unseen.run.Cancel();
    };
    ASSERT_TRUE(unseen.run.Gather(true)) << "cancelling is no failure";
    EXPECT_GT(unseen.run.FileCount(), 0);
    EXPECT_LT(unseen.run.FileCount(), 20);
    EXPECT_EQ(unseen.view.Steps.back(), "gathered " + std::to_string(unseen.run.FileCount()))
        << "the view gets the window back whatever ended the scan";

    // The output folder does not exist: nothing written, no page, and the failure is remembered
    // until the next run starts.
    unseen.view.OnCount = nullptr;
    ASSERT_TRUE(unseen.run.Gather(true));
    EXPECT_EQ(unseen.run.FileCount(), 20);
    unseen.view.Steps.clear();
    EXPECT_FALSE(unseen.run.WriteOutputs(nullptr));
    EXPECT_TRUE(unseen.run.OutputFailed());
    ASSERT_EQ(unseen.view.Steps.size(), 3u);
    EXPECT_NE(unseen.view.Steps[2].find("folder"), std::string::npos) << unseen.view.Steps[2];
    EXPECT_TRUE(unseen.view.Page.empty());
    ASSERT_TRUE(unseen.run.Gather(true));
    EXPECT_FALSE(unseen.run.OutputFailed());
}

TEST_F(SiteMapRunTest, ACrawlWhoseStartPageFailsSaysWhyInItsLog) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    UnseenRun unseen(profile, dir_ / "out");
    unseen.profile.SetSpiderType(mstWebsite);
    // Port 9 on loopback: nothing listens there.
    unseen.profile.SetWebsite("http://127.0.0.1:9/");
    EXPECT_FALSE(unseen.run.Gather(false));
    EXPECT_FALSE(unseen.run.GatherFailure().empty());
    EXPECT_NE(unseen.view.Log.find(unseen.run.GatherFailure()), std::string::npos) << unseen.view.Log;
    EXPECT_EQ(unseen.view.Steps, (std::vector<std::string>{"gathering", "crawl", "gathered 0"}));
    EXPECT_EQ(unseen.tree.Items().Count(), 0);
}

// An error raised during the upload is said as the program's errors are and fails the upload; let past
// the run, it would skip the run's end, for which an unattended run then waits forever.
TEST_F(SiteMapRunTest, AnErrorDuringTheUploadIsSaidAndFailsIt) {
    UnseenRun unseen(MakeSampleProfile("sample.qpw", dir_ / "out"), dir_ / "out");
    unseen.profile.SetServerName("Elsewhere");
    struct Broken : pw::vcl::Prompter {
        pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override {
            said.push_back(Request.text);
            if (said.size() == 1) throw Exception("The terminal is gone");
            return pw::vcl::DefaultAnswer(Request);
        }
        std::vector<std::string> said;
    } broken;
    pw::vcl::SetPrompter(&broken);
    bool uploaded = true;
    EXPECT_NO_THROW(uploaded = unseen.run.UploadUnattended());
    pw::vcl::SetPrompter(prompter_.get());
    EXPECT_FALSE(uploaded);
    EXPECT_EQ(unseen.view.Steps, std::vector<std::string>{"not uploaded"});
    ASSERT_EQ(broken.said.size(), 2u);
    EXPECT_NE(broken.said[1].find("The terminal is gone"), std::string::npos);
}

} // namespace
} // namespace app_test
