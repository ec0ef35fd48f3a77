#include "tests/support/child_process.h"

#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {
namespace {

constexpr char kVariable[] = "PW_CHILD_TEST";
// "uid:gid:folder": the user the child becomes once it runs, and the folder it then works in.
constexpr char kUserVariable[] = "PW_CHILD_USER";

// Whether an environment entry ("NAME=value") sets that variable.
bool named(const char* entry, const char* variable) {
    const size_t n = std::strlen(variable);
    return std::strncmp(entry, variable, n) == 0 && entry[n] == '=';
}

// A child that is to run as an ordinary user starts as root, so that it can reach its program wherever
// the tree lives (a folder of mode 0700 is closed to other users), and changes user before any test
// runs, while it has no threads yet. Its working folder is one made for it that the new user may enter.
bool BecomeTheChildsUser() {
    const char* spec = std::getenv(kUserVariable);
    if (!spec) return false;
    unsigned long uid = 0, gid = 0;
    int used = 0;
    if (std::sscanf(spec, "%lu:%lu:%n", &uid, &gid, &used) != 2 || used == 0) ::_exit(126);
    const std::string folder = spec + used;
    if (::setgroups(0, nullptr) != 0 || ::setgid(static_cast<gid_t>(gid)) != 0 ||
        ::setuid(static_cast<uid_t>(uid)) != 0 || ::chdir(folder.c_str()) != 0)
        ::_exit(126);
    ::setenv("HOME", folder.c_str(), 1);
    ::setenv("PWD", folder.c_str(), 1);
    ::unsetenv(kUserVariable);
    return true;
}

const bool becameTheChildsUser = BecomeTheChildsUser();

} // namespace

bool ChildIsUnprivileged() {
    return becameTheChildsUser;
}

std::string FileModesBindingCommand() {
    return ::geteuid() == 0 ? "setpriv --bounding-set=-dac_override,-dac_read_search --" : "";
}

bool InChildFor(const std::string& test) {
    const char* named = std::getenv(kVariable);
    return named && test == named;
}

int RunTestInChild(const std::string& test, const std::vector<std::string>& args, bool unprivileged,
                   std::string* skipped) {
    if (skipped) skipped->clear();
    std::error_code ec;
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    if (exe.empty()) return -1;
    const bool drop = unprivileged && ::geteuid() == 0;
    uid_t uid = 0;
    gid_t gid = 0;
    if (drop) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) return -1;
        uid = nobody->pw_uid;
        gid = nobody->pw_gid;
    }
    // The child reports what it ran here, so that a filter that selects nothing does not pass.
    TempDir dir("pw-child");
    const std::string report = dir.File("report.xml");
    if (drop && (::chown(dir.Path().c_str(), uid, gid) != 0)) return -1;

    std::vector<std::string> all{exe, "--gtest_filter=" + test};
    all.insert(all.end(), args.begin(), args.end());
    // The report goes by the environment, so that the child's command line holds only its arguments.
    std::vector<std::string> env{std::string(kVariable) + "=" + test, "GTEST_OUTPUT=xml:" + report};
    if (drop)
        env.push_back(std::string(kUserVariable) + "=" + std::to_string(uid) + ":" + std::to_string(gid) +
                      ":" + dir.Path());
    // The child runs its one test whichever shard of the tests this process runs.
    for (char** e = environ; *e; ++e)
        if (!named(*e, kVariable) && !named(*e, "GTEST_OUTPUT") && !named(*e, kUserVariable) &&
            !named(*e, "GTEST_SHARD_INDEX") && !named(*e, "GTEST_TOTAL_SHARDS") &&
            !named(*e, "GTEST_SHARD_STATUS_FILE"))
            env.push_back(*e);
    std::vector<char*> argv, envp;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: the test program runs threads.
        ::execve(exe.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    const bool ended = WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, kWaitLimit,
                                 std::chrono::milliseconds(5));
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    if (!WIFEXITED(status)) return -1;
    const std::string written = ReadFile(report);
    if (!std::regex_search(written, std::regex("<testsuites tests=\"[1-9]"))) return -1;
    // The reason the test gave, after the place it skipped at.
    std::smatch why;
    if (skipped &&
        std::regex_search(written, why,
                          std::regex("<skipped [^>]*><!\\[CDATA\\[([^\n]*)\n?([\\s\\S]*?)\\]\\]>")))
        *skipped = (why[2].str().empty() ? std::string("no reason given") : why[2].str()) + " (" +
                   why[1].str() + ")";
    return WEXITSTATUS(status);
}

} // namespace testsupport
