#pragma once
// Real peers for the crawl tests: nginx on loopback serving a site the test writes.
#include <memory>
#include <string>

#include "tests/support/peer_process.h"

namespace crawl_test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

int FreePort();

// nginx on 127.0.0.1 and 127.0.0.2 at one free port, serving Root() with extra directives inside its
// server block; the access log has one line per request: "$request_uri $status".
class Site {
public:
    explicit Site(const std::string& directives = {});
    bool Running() const { return peer_ && peer_->Running(); }
    std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const;
    int Port() const { return port_; }
    void Put(const std::string& path, const std::string& content) const;
    std::string AccessLog() const;

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<PeerProcess> peer_;
};

} // namespace crawl_test
