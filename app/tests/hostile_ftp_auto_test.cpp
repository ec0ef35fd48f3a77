// The unattended run against FTP servers that never finish a reply and against a server folder that
// holds a line break: every run ends by itself, in bounded time and memory, with a status other than
// zero and the reason on its output. The runs go side by side, so the suite waits one timeout, not six.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "ftp/server_profile.h"
#include "ftp/tests/daemon_peer.h"
#include "main_form_fixture.h"
#include "tests/support/peer_process.h"

namespace app_test {
namespace {

using Clock = std::chrono::steady_clock;

// One run of the built program without a display, its output into a file.
class ProgramRun {
public:
    ProgramRun(const fs::path& Config, const std::string& Profile, const fs::path& Log) : log_(Log) {
        const std::vector<std::string> argv{"/usr/bin/env",
                                            "-u",
                                            "DISPLAY",
                                            "-u",
                                            "WAYLAND_DISPLAY",
                                            "XDG_CONFIG_HOME=" + Config.string(),
                                            "QT_QPA_PLATFORM=offscreen",
                                            PW_PROGRAM,
                                            "-auto",
                                            Profile};
        start_ = Clock::now();
        pid_ = SpawnLogged(argv, Log.string());
    }
    ~ProgramRun() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Waits for the end until Limit after the start; a run still going then is killed (status -1).
    void Wait(std::chrono::seconds Limit) {
        while (pid_ > 0 && !ended_) {
            int status = 0;
            rusage usage{};
            if (::wait4(pid_, &status, WNOHANG, &usage) == pid_) {
                ended_ = true;
                elapsed_ = Clock::now() - start_;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                maxResidentKiB_ = usage.ru_maxrss;
                break;
            }
            if (Clock::now() - start_ > Limit) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                ended_ = true;
                elapsed_ = Clock::now() - start_;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    int Status() const { return status_; }
    Clock::duration Elapsed() const { return elapsed_; }
    long MaxResidentKiB() const { return maxResidentKiB_; }
    std::string Output() const { return ReadFile(log_); }

private:
    fs::path log_;
    pid_t pid_ = -1;
    bool ended_ = false;
    int status_ = -1;
    long maxResidentKiB_ = 0;
    Clock::time_point start_;
    Clock::duration elapsed_{};
};

class HostileFtpAutoTest : public MainFormTest {
protected:
    // A profile of the sample site, written into its own folder, uploading to Server into Folder.
    std::string UploadProfile(const std::string& Name, const std::string& Server, const std::string& Folder) {
        const std::string file = MakeSampleProfile(Name + ".qpw", dir_ / ("out-" + Name));
        TMapProfile p;
        LoadProfileFile(p, file, nullptr);
        p.SetServerName(Server);
        p.SetServerDir(Folder);
        SaveProfileFile(p, nullptr);
        return file;
    }
    static JDServerData Server(const std::string& Name, int Port, const std::string& HostFolder = "") {
        JDServerData s;
        s.ItemName = Name;
        s.HostName = "127.0.0.1";
        s.Port = Port;
        s.Username = "tester";
        s.Password = "secret";
        s.SavePassword = true;
        s.PassiveMode = true;
        s.HostDirName = HostFolder;
        return s;
    }
};

TEST_F(HostileFtpAutoTest, RepliesThatNeverEndAndFoldersWithLineBreaksEndTheRunWithTheirReason) {
    ftptest::ScriptPeer flood("hostile_ftp_peer.py", {"flood"});
    ftptest::ScriptPeer slow("hostile_ftp_peer.py", {"slow", "2"});
    ftptest::ScriptPeer dripGreeting("hostile_ftp_peer.py", {"dripgreeting", "1"});
    ftptest::ScriptPeer dripReply("hostile_ftp_peer.py", {"dripreply", "1"});
    ftptest::PyFtpd plain;
    ASSERT_TRUE(flood.Running() && slow.Running() && dripGreeting.Running() && dripReply.Running() &&
                plain.Running());
    const std::string broken = "pub\r\nDELE sitemap.html";
    SaveServerProfiles({Server("Flood", flood.Port()), Server("Slow", slow.Port()),
                        Server("DripGreeting", dripGreeting.Port()), Server("DripReply", dripReply.Port()),
                        Server("Plain", plain.Port()), Server("BrokenFolder", plain.Port(), broken)});
    struct Case {
        std::string name, server, folder, reason;
    };
    const std::string late = "Error 426 The server's reply did not complete within 15 seconds";
    const std::string refused = "Error 500 Argument contains CR, LF or NUL";
    const std::vector<Case> cases{
        {"flood", "Flood", "pub", "Error 426 The server's reply ran over 10000 lines"},
        {"slow", "Slow", "pub", late},
        {"dripgreeting", "DripGreeting", "pub", late},
        {"dripreply", "DripReply", "pub", late},
        {"profilefolder", "Plain", broken, refused},
        {"serverfolder", "BrokenFolder", "", refused},
    };
    std::vector<std::unique_ptr<ProgramRun>> runs;
    for (const Case& c : cases)
        runs.push_back(std::make_unique<ProgramRun>(config_, UploadProfile(c.name, c.server, c.folder),
                                                    dir_ / (c.name + ".log")));
    for (auto& run : runs)
        run->Wait(std::chrono::seconds(90));
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const ProgramRun& run = *runs[i];
        const std::string output = run.Output();
        EXPECT_GT(run.Status(), 0) << output;
        EXPECT_NE(output.find(cases[i].reason), std::string::npos) << output;
        // The FTP timeout of 15 seconds, and a margin for starting the program and writing the files.
        EXPECT_LT(run.Elapsed(), std::chrono::seconds(15 + 20)) << output;
        EXPECT_TRUE(fs::exists(dir_ / ("out-" + cases[i].name) / "sitemap.html"));
    }
    // Nothing was sent where the folder held the line break: the command never reached the server.
    EXPECT_TRUE(fs::is_empty(plain.Root()));
    // The flood is dropped as it comes: the run needs no more memory than one that waited quietly.
    EXPECT_LT(runs[0]->MaxResidentKiB(), runs[1]->MaxResidentKiB() + 64 * 1024)
        << runs[0]->MaxResidentKiB() << " KiB against " << runs[1]->MaxResidentKiB() << " KiB";
}

} // namespace
} // namespace app_test
