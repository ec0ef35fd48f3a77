// The wizard crawling a real site on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace app_test {
namespace {

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return ok;
}

// python3's own HTTP server over the sample site.
class SampleServer {
public:
    SampleServer() : port_(FreePort()) {
        pid_ = fork();
        if (pid_ == 0) {
            const std::string port = std::to_string(port_);
            const std::string root = SampleSite().string();
            execlp("python3", "python3", "-m", "http.server", port.c_str(), "--bind", "127.0.0.1",
                   "--directory", root.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && !Accepts(port_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~SampleServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    int port_;
    pid_t pid_ = -1;
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
