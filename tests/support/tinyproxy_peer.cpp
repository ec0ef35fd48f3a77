#include "tests/support/tinyproxy_peer.h"

#include "tests/support/loopback_port.h"
#include "tests/support/wait.h"

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace testsupport {

TinyProxyPeer::TinyProxyPeer(const std::string& user, const std::string& password) {
    const std::string bin =
        std::filesystem::exists("/usr/bin/tinyproxy") ? "/usr/bin/tinyproxy" : ProgramPath("tinyproxy");
    if (bin.empty()) return;
    // tinyproxy cannot be asked for a port of its choosing: it is given a free one, and a fresh one when
    // another process took that port first (tinyproxy then ends).
    for (int attempt = 0; attempt < 5 && !peer_; ++attempt) {
        port_ = FreePort();
        std::string conf = "Port " + std::to_string(port_) +
                           "\nListen 127.0.0.1\nTimeout 30\nMaxClients 20\n"
                           "Allow 127.0.0.1\nLogLevel Critical\n";
        if (!user.empty()) conf += "BasicAuth " + user + " " + password + "\n";
        WriteFile(dir_.File("tinyproxy.conf"), conf);
        peer_ = std::make_unique<PeerProcess>(std::vector<std::string>{
            "sh", "-c",
            "echo " + std::to_string(port_) + "; exec " + bin + " -d -c " + dir_.File("tinyproxy.conf")});
        const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        while (!ListensOn(peer_->Pid(), "127.0.0.1", port_)) {
            if (std::chrono::steady_clock::now() >= deadline || peer_->Ended()) {
                peer_.reset();
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

std::string TinyProxyPeer::Url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

} // namespace testsupport
