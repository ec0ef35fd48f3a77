#include "gui_test_environment.h"

#include "fetch/http/win_thread.h"
#include "platform/gui/gui_application.h"
#include "platform/gui/message_loop.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace gui_test {
namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
    }
    void TearDown() override {
        winthread::WaitForOrphans(kPatienceMs);
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "pathweaver";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

[[maybe_unused]] auto* environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, 0, 20, QS_ALLINPUT);
        ProcessMessages();
    }
    return true;
}

PeerProcess& FaultServer() {
    static PeerProcess peer({"python3", std::string(PW_SOURCE_DIR) + "/platform/net/tests/http_peer.py"});
    return peer;
}

Site::Site(const std::string& directives, const std::string& logFormat)
    : NginxPeer([&] {
          testsupport::NginxOptions o;
          o.server = directives;
          o.http = "  types { text/html html htm; text/plain txt; application/pdf pdf; image/png png; }\n"
                   "  default_type application/octet-stream;\n";
          o.hosts = {"127.0.0.1", "127.0.0.2"};
          o.logFormat = logFormat;
          o.echo = true;
          return o;
      }()) {}

} // namespace gui_test
