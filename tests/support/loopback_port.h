#pragma once
// Ports for peers a test starts on loopback.
#include <string>

namespace testsupport {

// A port nobody listened on at 127.0.0.1 a moment ago. Racy under parallel tests: another process may
// take it before the peer does, so a peer started on it is confirmed with ListensOn (and started again
// on a fresh port if another process was first); tests that need a port where nothing answers hold a
// ClosedPort instead.
int FreePort();
// Whether something accepts connections at host:port before timeoutMs pass.
bool WaitForPort(int port, const std::string& host = "127.0.0.1", int timeoutMs = 5000);
// Whether process pid itself listens on host:port (IPv4), not some other process.
bool ListensOn(int pid, const std::string& host, int port);

// A port at 127.0.0.1 where connections are refused for as long as the object lives: it is bound, so
// nobody else can take it, but never listened on.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    int Port() const { return port_; }
    std::string Url(const std::string& path = "/") const;

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace testsupport
