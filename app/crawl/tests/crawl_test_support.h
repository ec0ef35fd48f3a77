#pragma once
// Real peers for the crawl tests: nginx on loopback serving a site the test writes.
#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"

#include <string>

namespace crawl_test {

using testsupport::FreePort;

// nginx on 127.0.0.1 and 127.0.0.2 at one free port, serving Root() with extra directives inside its
// server block; the access log has one line per request: "$request_uri $status".
class Site : public testsupport::NginxPeer {
public:
    explicit Site(const std::string& directives = {});
};

} // namespace crawl_test
