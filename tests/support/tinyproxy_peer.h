#pragma once
// tinyproxy started by a test on loopback, optionally asking for basic authentication; it is stopped,
// with its process group, when the object goes.
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#include <memory>
#include <string>

namespace testsupport {

class TinyProxyPeer {
public:
    // Running() is false when tinyproxy is missing or did not listen.
    TinyProxyPeer(const std::string& user = "", const std::string& password = "");
    bool Running() const { return peer_ && peer_->Running(); }
    int Port() const { return port_; }
    // "http://127.0.0.1:port", as a proxy variable names it.
    std::string Url() const;

private:
    TempDir dir_{"pw-proxy"};
    int port_ = 0;
    std::unique_ptr<PeerProcess> peer_;
};

} // namespace testsupport
