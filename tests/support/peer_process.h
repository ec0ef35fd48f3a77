#pragma once
// A real peer (server, proxy) started by a test on loopback: the child prints its port on its first
// line of output; the peer is killed, with its process group, when the object goes.
#include <string>
#include <vector>

#include "tests/support/wait.h"

class PeerProcess {
public:
    // argv[0] is looked up on PATH. Waits up to timeoutMs for the first line (a peer that ends is not
    // waited for).
    explicit PeerProcess(const std::vector<std::string>& argv,
                         int timeoutMs = static_cast<int>(testsupport::kWaitLimit.count()));
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    bool Running() const { return pid_ > 0 && port_ > 0; }
    int Port() const { return port_; }
    int Pid() const { return pid_; }
    // Whether the peer has ended (it is then reaped, and Pid() is -1).
    bool Ended();
    const std::string& FirstLine() const { return first_line_; }
    std::string Url(const std::string& path) const;

private:
    int pid_ = -1;
    int port_ = 0;
    std::string first_line_;
};

// True when an executable of that name is on PATH.
bool HaveProgram(const std::string& name);
// The executable's full path found on PATH; empty when there is none.
std::string ProgramPath(const std::string& name);
// Starts argv (argv[0] a full path) with no input and its output and errors into the file at logPath;
// answers the child's process id, or -1 when it could not be started.
int SpawnLogged(const std::vector<std::string>& argv, const std::string& logPath);
