#pragma once
// What every test program of the HTTP client, the page fetcher and the crawl needs: the shared pump
// that waits for the worker's calls, the worker threads awaited before the application goes, and the
// real peers on loopback.
#include "tests/support/gui/pump.h"
#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"

#include <functional>
#include <string>

namespace gui_test {

using testsupport::ClosedPort;

// How long a test waits for something that normally comes at once: only a failing test waits so long.
constexpr int kPatienceMs = 60000;

using testsupport::PumpUntil;

// The fault server of the network tests (short bodies, stalls and the like), shared by the program.
PeerProcess& FaultServer();

// nginx on 127.0.0.1 and 127.0.0.2 at one free port, serving Root() as a web site (pages, text, PDF and
// PNG files) with extra directives inside its server block; logFormat, when given, is the access log's.
class Site : public testsupport::NginxPeer {
public:
    explicit Site(const std::string& directives = {}, const std::string& logFormat = {});
};

} // namespace gui_test
