// The wizard crawling a real site on loopback.
#include <chrono>
#include <thread>

#include "app/core/map_profile.h"
#include "app/main_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "main_form_fixture.h"
#include "platform/stdctrls/label.h"
#include "platform/vcl/timer.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/peer_process.h"

namespace app_test {
namespace {

// python3's own HTTP server over the sample site, at a port it picks and prints.
class SampleServer {
public:
    SampleServer()
        : peer_({"python3", "-c",
                 "import functools, http.server, sys\n"
                 "handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])\n"
                 "server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)\n"
                 "print(server.server_address[1], flush=True)\n"
                 "server.serve_forever()\n",
                 SampleSite().string()}) {}
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(peer_.Port()); }

private:
    PeerProcess peer_;
};

using CrawlWindowTest = MainFormTest;

TEST_F(CrawlWindowTest, CrawlsTheSiteIntoTheResultsAndWritesTheMap) {
    SampleServer server;
    Start();
    form_->optWebsite->SetChecked(true);
    form_->editWebsite->SetText(server.Address());
    form_->editOutputFile->SetText((dir_ / "out.html").string());
    form_->ButtonClick(form_->btnNext);
    EXPECT_EQ(form_->editWebsite->Text(), server.Address() + "/");
    ASSERT_EQ(form_->PageIndex(), 2) << form_->lblTotalFiles->Caption();
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
    SampleServer server;
    Start();
    form_->optWebsite->SetChecked(true);
    form_->editWebsite->SetText(server.Address() + "/");
    TTimer timer(nullptr);
    bool pressed = false;
    timer.SetInterval(1);
    timer.OnTimer = [&](TObject*) {
        // Once the crawl has begun.
        if (!form_->Busy() || form_->lblLookingIn->Caption().empty()) return;
        timer.SetEnabled(false);
        pressed = true;
        EXPECT_FALSE(form_->btnNext->Enabled());
        form_->ButtonClick(form_->btnCancel);
        EXPECT_TRUE(form_->btnBack->Enabled());
    };
    timer.SetEnabled(true);
    form_->ButtonClick(form_->btnNext);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(form_->PageIndex(), 2);
    EXPECT_TRUE(form_->Visible()) << "Cancel during a crawl does not close the window";
    EXPECT_FALSE(form_->AutoMode());
}

} // namespace
} // namespace app_test
