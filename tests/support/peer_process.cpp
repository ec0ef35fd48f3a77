#include "tests/support/peer_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

PeerProcess::PeerProcess(const std::vector<std::string>& argv, int timeoutMs) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    if (pid_ < 0) {
        ::close(fds[0]);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char c;
        const ssize_t n = ::read(fds[0], &c, 1);
        if (n <= 0) break;
        if (c == '\n') {
            first_line_ = line;
            port_ = std::atoi(line.c_str());
            break;
        }
        line += c;
    }
    ::close(fds[0]);
}

PeerProcess::~PeerProcess() {
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

bool PeerProcess::Ended() {
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
    return pid_ <= 0;
}

std::string PeerProcess::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

bool HaveProgram(const std::string& name) {
    return !ProgramPath(name).empty();
}

std::string ProgramPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::string dirs = path;
    size_t from = 0;
    while (from <= dirs.size()) {
        size_t end = dirs.find(':', from);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(from, end - from) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        from = end + 1;
    }
    return {};
}

int SpawnLogged(const std::vector<std::string>& argv, const std::string& logPath) {
    // Only async-signal-safe calls between fork and exec: the test programs run threads.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // A test that dies without its destructors (a sanitizer's halt) takes its peers with it: a display
    // server left running would hold the test's output open and keep the runner waiting for it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    const int null = ::open("/dev/null", O_RDWR);
    const int out = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (null >= 0) ::dup2(null, STDIN_FILENO);
    if (out >= 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
    }
    ::execv(args[0], args.data());
    ::_exit(127);
}
