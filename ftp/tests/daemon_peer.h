#pragma once
// Servers the FTP tests start on loopback (SOCKS proxies, FTP servers): each is given a free port,
// runs in the foreground as a child of the test and is stopped by its process id when the object
// goes. Running() is false when the program is missing or never answered.
#include "tests/support/temp_dir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace ftptest {

class DaemonPeer {
public:
    DaemonPeer() = default;
    ~DaemonPeer();
    DaemonPeer(const DaemonPeer&) = delete;
    DaemonPeer& operator=(const DaemonPeer&) = delete;

    bool Running() const { return pid_ > 0; }
    int Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }
    const testsupport::TempDir& Dir() const { return dir_; }
    void Stop();

protected:
    // Starts argv (argv[0] a full path) and waits until the port answers.
    bool Start(const std::vector<std::string>& argv, int port);

    testsupport::TempDir dir_{"pw-ftp-peer"};
    int port_ = 0;
    pid_t pid_ = -1;
};

// microsocks: SOCKS 5, with a user and password when they are given.
class Microsocks : public DaemonPeer {
public:
    explicit Microsocks(const std::string& user = "", const std::string& password = "");
};

// dante: SOCKS 4 and 5 without authentication.
class Dante : public DaemonPeer {
public:
    Dante();
};

// vsftpd with anonymous logins (a writable pub/ below a read-only root) and the local user given.
class Vsftpd : public DaemonPeer {
public:
    static constexpr const char* kUser = "pwftptest";
    static constexpr const char* kPassword = "pw-secret";

    Vsftpd();
    // The anonymous root; pub/ in it is writable.
    std::string AnonRoot() const { return dir_.File("anon"); }
    // The folder the local user kUser logs in to, when user logins could be set up.
    std::string UserRoot() const { return dir_.File("user"); }
    bool UserLogins() const { return userLogins_; }

private:
    bool userLogins_ = false;
};

// A script of ftp/tests run with the system's python, which prints its port first; extra
// arguments follow the script name.
class ScriptPeer : public DaemonPeer {
public:
    ScriptPeer(const std::string& script, const std::vector<std::string>& args = {});
};

// The FTP server of ftp_peer.py (pyftpdlib) in one of its modes, serving Root().
class PyFtpd : public DaemonPeer {
public:
    explicit PyFtpd(const std::string& mode = "normal");
    std::string Root() const { return dir_.File("root"); }
};

// The system's python, which has the Debian FTP server module.
std::string SystemPython();

} // namespace ftptest
