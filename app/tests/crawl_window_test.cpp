// The wizard crawling a real site on loopback.
#include <chrono>
#include <fstream>
#include <thread>

#include "app/core/map_profile.h"
#include "app/main_form.h"
#include "bars/core/bar_button.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "main_form_fixture.h"
#include "platform/commctrl/common_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/string_list.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/timer.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/peer_process.h"

namespace app_test {
namespace {

// python3's own HTTP server over the sample site, at a port it picks and prints; each answer may be
// held back a while, so that a crawl lasts long enough to be interrupted. Given a gate, every answer
// but the start page's waits until that file exists, so a crawl is surely still running until the
// test opens the gate, however busy the machine.
class SampleServer {
public:
    explicit SampleServer(double delaySeconds = 0, const std::string& gate = "")
        : peer_({"python3", "-c",
                 "import functools, http.server, os, sys, time\n"
                 "class Handler(http.server.SimpleHTTPRequestHandler):\n"
                 "    def do_GET(self):\n"
                 "        time.sleep(float(sys.argv[2]))\n"
                 "        while sys.argv[3] and self.path != '/' and not os.path.exists(sys.argv[3]):\n"
                 "            time.sleep(0.01)\n"
                 "        super().do_GET()\n"
                 "handler = functools.partial(Handler, directory=sys.argv[1])\n"
                 "server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)\n"
                 "print(server.server_address[1], flush=True)\n"
                 "server.serve_forever()\n",
                 SampleSite().string(), std::to_string(delaySeconds), gate}) {}
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(peer_.Port()); }

private:
    PeerProcess peer_;
};

// Counts the insertion messages the tree views of this thread are sent.
struct TreeInsertions {
    static inline int count = 0;
    HHOOK hook = SetWindowsHookEx(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) {
            const UINT msg = reinterpret_cast<const CWPSTRUCT*>(lParam)->message;
            count += msg == TVM_INSERTITEM || msg == TVM_INSERTRUN;
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    TreeInsertions() { count = 0; }
    ~TreeInsertions() { UnhookWindowsHookEx(hook); }
};

using CrawlWindowTest = MainFormTest;

TEST_F(CrawlWindowTest, CrawlsTheSiteIntoTheResultsAndWritesTheMap) {
    SampleServer server;
    Start();
    form_->optWebsite->SetChecked(true);
    form_->editWebsite->SetText(server.Address());
    form_->editOutputFile->SetText((dir_ / "out.html").string());
    TreeInsertions insertions;
    form_->ButtonClick(form_->btnNext);
    EXPECT_EQ(form_->editWebsite->Text(), server.Address() + "/");
    ASSERT_EQ(form_->PageIndex(), 2) << form_->lblTotalFiles->Caption();
    // The tree, not on show during the crawl, took its nodes at the end: the pages of each folder at once.
    TTreeNodes& items = form_->tvMap->Items();
    int folders = 0;
    for (int i = 0; i < items.Count(); ++i)
        folders += items.Item(i)->HasChildren();
    EXPECT_LE(insertions.count, 1 + folders);
    EXPECT_EQ(SendMessage(form_->tvMap->Handle(), TVM_GETCOUNT, 0, 0), items.Count());
    EXPECT_EQ(form_->lblCurrentURL->Caption(), "URL:");
    EXPECT_EQ(form_->lblUrlsFound->Caption(), "URLs Found:");
    std::vector<std::string> shown;
    for (int i = 0; i < form_->tvMap->Items().Count(); ++i)
        shown.push_back(form_->tvMap->Items().Item(i)->Text());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Garden Kneeler"), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "Εργαλεία κήπου Meadowbrook"), shown.end());

    form_->ButtonClick(form_->btnNext);
    EXPECT_FALSE(form_->OutputFailed());
    EXPECT_NE(ReadFile(dir_ / "out.html").find(server.Address() + "/about/team.html"), std::string::npos);
}

TEST_F(CrawlWindowTest, CancelStopsTheCrawlAndShowsWhatWasFound) {
    const std::string gate = (dir_ / "gate").string();
    SampleServer server(0, gate);
    Start();
    form_->optWebsite->SetChecked(true);
    form_->editWebsite->SetText(server.Address() + "/");
    TTimer timer(nullptr);
    bool pressed = false;
    timer.SetInterval(1);
    timer.OnTimer = [&](TObject*) {
        // Once the start page is in the tree: the next page is then held at the gate.
        if (!form_->Busy() || form_->tvMap->Items().Count() == 0) return;
        timer.SetEnabled(false);
        pressed = true;
        EXPECT_FALSE(form_->btnNext->Enabled());
        form_->ButtonClick(form_->btnCancel);
        EXPECT_TRUE(form_->btnBack->Enabled());
        std::ofstream{gate}; // the page on its way may now arrive
    };
    timer.SetEnabled(true);
    form_->ButtonClick(form_->btnNext);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(form_->PageIndex(), 2);
    // The start page came before the press; the page on its way at the press adds no node.
    EXPECT_EQ(form_->tvMap->Items().Count(), 1);
    EXPECT_TRUE(form_->Visible()) << "Cancel during a crawl does not close the window";
    EXPECT_FALSE(form_->AutoMode());
}

// Cancel is no cancel button: Escape goes on with the run, and Enter presses the Cancel the focus is on.
TEST_F(CrawlWindowTest, TheFocusedCancelTakesEnterNotEscapeAndTheBarsCommandsShowTheyWait) {
    // Slow answers: the whole sample site would otherwise be crawled between two turns of the loop.
    SampleServer server(0.05);
    Start();
    form_->optWebsite->SetChecked(true);
    form_->editWebsite->SetText(server.Address() + "/");
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    const int whole = form_->tvMap->Items().Count();
    form_->ButtonClick(form_->btnBack);
    TTimer timer(nullptr);
    bool pressed = false;
    bool escaped = false;
    timer.SetInterval(1);
    timer.OnTimer = [&](TObject*) {
        if (!form_->Busy() || form_->lblLookingIn->Caption().empty()) return;
        if (escaped) {
            // The Escape before this tick was answered by the run's loop and ended nothing.
            timer.SetEnabled(false);
            pressed = true;
            EXPECT_TRUE(form_->btnCancel->Focused());
            pw::gui::SimulateKeyStroke(VK_RETURN);
            return;
        }
        escaped = true;
        for (TdxBarButton* item : {form_->miOpen, form_->miSave, form_->miSaveAs, form_->miOptions})
            EXPECT_FALSE(item->Enabled()) << item->Caption();
        EXPECT_TRUE(form_->miHelp->Enabled());
        EXPECT_TRUE(form_->btnCancel->Focused());
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    };
    timer.SetEnabled(true);
    form_->ButtonClick(form_->btnNext);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(form_->PageIndex(), 2);
    EXPECT_LT(form_->tvMap->Items().Count(), whole) << "the crawl was cancelled and shows what it found";
    EXPECT_TRUE(form_->Visible());
    for (TdxBarButton* item : {form_->miOpen, form_->miSave, form_->miSaveAs, form_->miOptions})
        EXPECT_TRUE(item->Enabled()) << item->Caption();

    // Escape once the run is over is no Cancel: the results stay.
    form_->tvMap->SetFocus();
    pw::gui::SimulateKeyStroke(VK_ESCAPE);
    Pump();
    EXPECT_TRUE(form_->Visible());
    EXPECT_EQ(form_->PageIndex(), 2);
}

TEST_F(CrawlWindowTest, AStartPageThatFailsIsSaidAndTheWizardStaysWithNothingToSave) {
    std::string refused;
    {
        SampleServer gone;
        refused = gone.Address() + "/";
    }
    SampleServer server;
    Start();
    form_->optWebsite->SetChecked(true);
    const std::pair<std::string, std::string> cases[] = {
        {refused, "the connection was refused"},
        {server.Address() + "/no/such/page.html", "the page was not found (404"},
    };
    for (const auto& [address, reason] : cases) {
        prompter_->Asked.clear();
        form_->editWebsite->SetText(address);
        form_->ButtonClick(form_->btnNext);
        Pump();
        ASSERT_EQ(form_->PageIndex(), 1) << address;
        ASSERT_EQ(prompter_->Texts().size(), 1u) << address;
        EXPECT_NE(prompter_->Texts()[0].find(reason), std::string::npos) << prompter_->Texts()[0];
        EXPECT_EQ(form_->lblTotalFiles->Caption(), "Total Files Found: 0");
        // The memo wraps its lines: they are read as one text.
        std::string log;
        for (int i = 0; i < form_->memoFiles->Lines().Count(); ++i)
            log += form_->memoFiles->Lines()[i];
        const size_t told = log.find(reason);
        EXPECT_NE(told, std::string::npos) << log;
        EXPECT_EQ(log.find(reason, told + 1), std::string::npos) << "the log says it once: " << log;
        EXPECT_NE(form_->lblStatusTitle->Caption().find("could not be loaded"), std::string::npos);
        EXPECT_FALSE(form_->btnNext->Enabled());
        EXPECT_TRUE(form_->btnBack->Enabled());
        EXPECT_EQ(form_->btnCancel->Caption(), "&Close") << "the run is over: Cancel would cancel nothing";
        // Back to the address, to mend it.
        form_->ButtonClick(form_->btnBack);
        ASSERT_EQ(form_->PageIndex(), 0);
    }

    // A site that loads moves on by itself, and Save is there.
    prompter_->Asked.clear();
    form_->editWebsite->SetText(server.Address() + "/");
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    EXPECT_TRUE(prompter_->Texts().empty());
    EXPECT_TRUE(form_->btnNext->Enabled());
}

TEST_F(CrawlWindowTest, AFolderWithNoPagesOffersNoSave) {
    const fs::path empty = dir_ / "empty";
    fs::create_directories(empty);
    std::ofstream(empty / "notes.bin") << "no page";
    Start();
    form_->optLocal->SetChecked(true);
    form_->editIndex->SetText((empty / "index.html").string());
    form_->editWebsite->SetText("http://empty.example/");
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    EXPECT_EQ(form_->tvMap->Items().Count(), 0);
    EXPECT_FALSE(form_->btnNext->Enabled()) << "nothing to write";
}

} // namespace
} // namespace app_test
