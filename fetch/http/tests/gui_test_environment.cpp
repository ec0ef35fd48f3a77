#include "gui_test_environment.h"

#include "fetch/http/win_thread.h"
#include "platform/gui/message_loop.h"
#include "tests/support/gui/environment_steps.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace gui_test {
namespace {

// Worker threads a test let go finish before the application goes.
[[maybe_unused]] const bool orphansAwaited =
    testsupport::AddEnvironmentStep({}, [] { winthread::WaitForOrphans(kPatienceMs); });

} // namespace

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
