#include "daemon_peer.h"

#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"
#include "tests/support/wait.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// The scripts live beside the FTP client's tests, whichever test program runs them.
#ifndef PW_FTP_PEER_DIR
#define PW_FTP_PEER_DIR PW_TEST_DATA_DIR
#endif

namespace ftptest {
namespace {

bool exited(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

std::string program(const char* name, const char* sbin) {
    if (::access(sbin, X_OK) == 0) return sbin;
    return ProgramPath(name);
}

// The local user that vsftpd's user logins use; made once when the tests run as root. Its home is
// "/" so that no folder has to be made for it.
bool haveFtpUser() {
    const std::string kFtpUser = Vsftpd::kUser;
    if (std::system((std::string("id ") + kFtpUser + " >/dev/null 2>&1").c_str()) == 0) return true;
    if (::geteuid() != 0) return false;
    const std::string make = std::string("useradd --system --no-create-home --home-dir / --shell /bin/sh ") +
                             kFtpUser + " >/dev/null 2>&1 && echo '" + kFtpUser + ":" + Vsftpd::kPassword +
                             "' | chpasswd >/dev/null 2>&1";
    return std::system(make.c_str()) == 0;
}

} // namespace

std::string SystemPython() {
    return ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : ProgramPath("python3");
}

DaemonPeer::~DaemonPeer() {
    Stop();
}

bool DaemonPeer::Start(const std::vector<std::string>& argv, int port) {
    if (argv.empty() || argv[0].empty() || port <= 0) return false;
    port_ = port;
    pid_ = SpawnLogged(argv, dir_.File("peer.log"));
    if (pid_ <= 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + testsupport::kWaitLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (testsupport::WaitForPort(port_, "127.0.0.1", 0)) return true;
        if (exited(pid_)) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    return false;
}

void DaemonPeer::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!exited(pid_)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
}

Microsocks::Microsocks(const std::string& user, const std::string& password) {
    const int port = testsupport::FreePort();
    std::vector<std::string> argv{program("microsocks", "/usr/bin/microsocks"), "-i", "127.0.0.1", "-p",
                                  std::to_string(port)};
    if (!user.empty()) argv.insert(argv.end(), {"-u", user, "-P", password});
    Start(argv, port);
}

Dante::Dante() {
    const int port = testsupport::FreePort();
    testsupport::WriteFile(
        dir_.File("danted.conf"),
        "logoutput: stderr\n"
        "internal: 127.0.0.1 port = " +
            std::to_string(port) +
            "\nexternal: 127.0.0.1\n"
            "socksmethod: none\nclientmethod: none\n" +
            (::geteuid() == 0 ? "user.privileged: root\nuser.unprivileged: nobody\n" : "") +
            "client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
            "socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n");
    Start({program("danted", "/usr/sbin/danted"), "-f", dir_.File("danted.conf"), "-p",
           dir_.File("danted.pid"), "-N", "1"},
          port);
}

Vsftpd::Vsftpd() {
    namespace fs = std::filesystem;
    // vsftpd refuses to run as anyone but root, and an anonymous root that its user may write.
    if (::geteuid() != 0) return;
    const int port = testsupport::FreePort();
    fs::create_directories(dir_.File("anon/pub"));
    fs::create_directories(dir_.File("empty"));
    fs::create_directories(dir_.File("user"));
    ::chmod(dir_.Path().c_str(), 0755);
    ::chmod(dir_.File("anon").c_str(), 0755);
    ::chmod(dir_.File("anon/pub").c_str(), 0777);
    ::chmod(dir_.File("user").c_str(), 0777);
    std::string conf =
        "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port) +
        "\nbackground=NO\nanonymous_enable=YES\nno_anon_password=YES\nanon_root=" + dir_.File("anon") +
        "\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\nanon_other_write_enable=YES\n"
        "anon_umask=022\nwrite_enable=YES\nseccomp_sandbox=NO\nsecure_chroot_dir=" +
        dir_.File("empty") +
        "\nport_enable=YES\nconnect_from_port_20=NO\npasv_enable=YES\nxferlog_enable=NO\n"
        "pam_service_name=vsftpd\n";
    userLogins_ = haveFtpUser();
    if (userLogins_) conf += "local_enable=YES\nlocal_umask=022\nlocal_root=" + dir_.File("user") + "\n";
    testsupport::WriteFile(dir_.File("vsftpd.conf"), conf);
    Start({program("vsftpd", "/usr/sbin/vsftpd"), dir_.File("vsftpd.conf")}, port);
}

ScriptPeer::ScriptPeer(const std::string& script, const std::vector<std::string>& args) {
    const int port = testsupport::FreePort();
    std::vector<std::string> argv{SystemPython(), std::string(PW_FTP_PEER_DIR) + "/" + script,
                                  std::to_string(port)};
    argv.insert(argv.end(), args.begin(), args.end());
    Start(argv, port);
}

} // namespace ftptest

namespace ftptest {

PyFtpd::PyFtpd(const std::string& mode) {
    std::filesystem::create_directories(Root());
    const int port = testsupport::FreePort();
    Start({SystemPython(), std::string(PW_FTP_PEER_DIR) + "/ftp_peer.py", std::to_string(port), Root(), mode},
          port);
}

} // namespace ftptest
