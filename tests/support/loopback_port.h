#pragma once
// Ports for peers a test starts on loopback.
#include <string>

namespace testsupport {

// A port nobody listens on at 127.0.0.1 just now.
int FreePort();
// Whether something accepts connections at host:port before timeoutMs pass.
bool WaitForPort(int port, const std::string& host = "127.0.0.1", int timeoutMs = 5000);

} // namespace testsupport
