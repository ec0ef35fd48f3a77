#pragma once
// Real peers for the fetcher tests: nginx serving a site written by the test, and the fault server.
#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"

#include <functional>
#include <string>

namespace fetch_test {

using testsupport::FreePort;

// nginx on 127.0.0.1 and 127.0.0.2 at one free port, serving Root() with the given extra directives
// inside its server block.
class Site : public testsupport::NginxPeer {
public:
    explicit Site(const std::string& directives = {});
};

// The shared fault server of the network tests (short bodies, stalls).
PeerProcess& FaultServer();

// Runs the GUI thread's messages until done() or timeoutMs pass; false on timeout.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace fetch_test
