#include "crawl_test_support.h"

#include "fetch/http/win_thread.h"
#include "platform/gui/gui_application.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace crawl_test {
namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
    }
    void TearDown() override {
        winthread::WaitForOrphans(10000);
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "appcrawl_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

[[maybe_unused]] auto* environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

Site::Site(const std::string& directives)
    : NginxPeer([&] {
          testsupport::NginxOptions o;
          o.server = directives;
          o.http = "  types { text/html html htm; text/plain txt; application/pdf pdf; image/png png; }\n"
                   "  default_type application/octet-stream;\n";
          o.hosts = {"127.0.0.1", "127.0.0.2"};
          o.logFormat = "$request_uri $status";
          o.echo = true;
          return o;
      }()) {}

} // namespace crawl_test
