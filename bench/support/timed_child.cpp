#include "bench/support/timed_child.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace bench {

ChildRun RunTimed(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                  double timeoutSeconds, const std::string& outputFile) {
    // Everything the child needs is prepared before fork: only async-signal-safe calls after it.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& change : environment)
            if (entry.compare(0, change.find('=') + 1, change, 0, change.find('=') + 1) == 0) replaced = true;
        if (!replaced) env.push_back(entry);
    }
    for (const std::string& change : environment)
        if (change.back() != '=') env.push_back(change);
    std::vector<char*> args, envp;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const std::string output = outputFile.empty() ? "/dev/null" : outputFile;

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) return run;
    if (pid == 0) {
        ::setpgid(0, 0);
        const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execvpe(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    const auto deadline = start + std::chrono::duration<double>(timeoutSeconds);
    int status = 0;
    rusage usage{};
    // The child's end is heard at once (a process descriptor polled), not at the next look: runs of a
    // tenth of a second are timed to well under a millisecond.
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    std::chrono::steady_clock::time_point ended;
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid) {
            ended = std::chrono::steady_clock::now();
            break;
        }
        if (std::chrono::steady_clock::now() > deadline && !run.timedOut) {
            run.timedOut = true;
            ::kill(-pid, SIGKILL);
        }
        if (pidfd >= 0) {
            pollfd fd{pidfd, POLLIN, 0};
            ::poll(&fd, 1, 100);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    if (pidfd >= 0) ::close(pidfd);
    run.seconds = std::chrono::duration<double>(ended - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakMegabytes = usage.ru_maxrss / 1024.0;
    run.status = WIFEXITED(status) && !run.timedOut ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace bench
