#pragma once
// Shared pieces of the HTTP client tests: a transfer that is waited for, an event recorder, and real
// peers (nginx with TLS, tinyproxy) on loopback besides those of the GUI test environment.
#include "fetch/http/win_http.h"
#include "gui_test_environment.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tinyproxy_peer.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace http_test {

using gui_test::FaultServer;
using gui_test::kPatienceMs;
using gui_test::PumpUntil;

struct Event {
    std::string name;
    std::thread::id thread;
    int code = 0;
    int64_t size = 0;
    std::string text;
};

// Binds every event of a client and records them, with the thread each ran on, and the body.
class Recorder {
public:
    explicit Recorder(TCustomWinHTTP& http);
    std::vector<std::string> Names() const;
    // Names of the events that end a transfer.
    std::vector<std::string> Terminal() const;
    bool Has(const std::string& name) const;
    const Event* Find(const std::string& name) const;
    // The events that must come from the GUI thread did.
    bool GuiEventsOnMainThread() const;

    std::vector<Event> events;
    std::string body;
    std::string rawHeaders;
    std::vector<std::string> redirects;
};

// Starts a transfer and waits for it; false when it did not end in time.
bool Fetch(TCustomWinHTTP& http, const std::string& url, int timeoutMs = gui_test::kPatienceMs);

std::string FaultUrl(const std::string& path);

using testsupport::ClosedPort;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

// nginx on a free loopback port serving the given location directives; https when tls.
class Nginx : public testsupport::NginxPeer {
public:
    Nginx(const std::string& locations, bool tls);
};

// tinyproxy on a free loopback port, optionally with basic authentication.
using TinyProxy = testsupport::TinyProxyPeer;

} // namespace http_test
