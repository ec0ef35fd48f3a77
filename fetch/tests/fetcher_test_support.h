#pragma once
// Real peers for the fetcher tests: nginx serving a site written by the test, and the fault server.
#include "tests/support/peer_process.h"

#include <functional>
#include <memory>
#include <string>

namespace fetch_test {

// A throw-away folder, removed with its contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& content);
int FreePort();

// nginx on 127.0.0.1 and 127.0.0.2 at one free port, serving Root() with the given extra directives
// inside its server block.
class Site {
public:
    explicit Site(const std::string& directives = {});
    bool Running() const { return peer_ && peer_->Running(); }
    std::string Url(const std::string& path, const std::string& host = "127.0.0.1") const;
    int Port() const { return port_; }
    // Writes a file under the site's root, making its folders.
    void Put(const std::string& path, const std::string& content) const;
    // The request lines nginx has logged so far.
    std::string AccessLog() const;

private:
    TempDir dir_;
    int port_ = 0;
    std::unique_ptr<PeerProcess> peer_;
};

// The shared fault server of the network tests (short bodies, stalls).
PeerProcess& FaultServer();

// Runs the GUI thread's messages until done() or timeoutMs pass; false on timeout.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace fetch_test
