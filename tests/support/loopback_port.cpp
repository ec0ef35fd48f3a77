#include "tests/support/loopback_port.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace testsupport {
namespace {

bool answers(const sockaddr_in& address) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    const bool up = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return up;
}

// Binds a fresh socket to 127.0.0.1 at a port the system picks; answers the port, or 0.
int bindLoopback(int fd) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return 0;
    return ntohs(a.sin_port);
}

} // namespace

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    const int port = bindLoopback(fd);
    ::close(fd);
    return port;
}

bool WaitForPort(int port, const std::string& host, int timeoutMs) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (port <= 0 || ::inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (answers(a)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool ListensOn(int pid, const std::string& host, int port) {
    in_addr address{};
    if (pid <= 0 || port <= 0 || ::inet_pton(AF_INET, host.c_str(), &address) != 1) return false;
    // The sockets the process holds, by inode ("socket:[1234]").
    std::set<std::string> inodes;
    std::error_code ec;
    const std::string proc = "/proc/" + std::to_string(pid);
    for (const auto& entry : std::filesystem::directory_iterator(proc + "/fd", ec)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), ec).string();
        if (target.rfind("socket:[", 0) == 0) inodes.insert(target.substr(8, target.size() - 9));
    }
    if (inodes.empty()) return false;
    // The kernel prints the address as the 32-bit value in memory, the port in host order.
    char local[24];
    std::snprintf(local, sizeof local, "%08X:%04X", address.s_addr, static_cast<unsigned>(port));
    std::ifstream table(proc + "/net/tcp");
    std::string line;
    std::getline(table, line); // the header
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, from, to, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> from >> to >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
        if (from == local && state == "0A" && inodes.count(inode)) return true; // 0A: listening
    }
    return false;
}

ClosedPort::ClosedPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ >= 0) port_ = bindLoopback(fd_);
}

ClosedPort::~ClosedPort() {
    if (fd_ >= 0) ::close(fd_);
}

std::string ClosedPort::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

} // namespace testsupport
