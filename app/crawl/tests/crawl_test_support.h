#pragma once
// The crawl tests' site: the shared test site, its access log one "$request_uri $status" line a request.
#include "gui_test_environment.h"

namespace crawl_test {

using gui_test::ClosedPort;

class Site : public gui_test::Site {
public:
    explicit Site(const std::string& directives = {}) : gui_test::Site(directives, "$request_uri $status") {}
};

} // namespace crawl_test
