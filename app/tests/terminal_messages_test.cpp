// What an unattended run prints on the terminal: names from a hostile profile cannot steer it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"

namespace app_test {
namespace {

// The program's stderr and stdout together; a run still going after a minute is killed.
std::string RunAuto(const fs::path& Config, const std::string& Profile) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], 1);
        dup2(output[1], 2);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(PW_PROGRAM, PW_PROGRAM, "-auto", Profile.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    pollfd wait{output[0], POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline && poll(&wait, 1, 1000) >= 0) {
        char buffer[4096];
        const ssize_t n = read(output[0], buffer, sizeof buffer);
        if (n == 0) break;
        if (n > 0) text.append(buffer, static_cast<size_t>(n));
    }
    close(output[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return text;
}

using TerminalMessagesTest = MainFormTest;

TEST_F(TerminalMessagesTest, NamesFromAHostileProfileAreShownEscaped) {
    // A folder that cannot be made: the message names the output file, escape sequences and all.
    const std::string hostile = "gone\x1b[2J\x1b[H\x07site map written OK\xC2\x9B"
                                "31m\x9b"
                                "0m";
    const std::string profile = MakeSampleProfile("hostile.qpw", dir_ / "out");
    {
        TMapProfile p;
        LoadProfileFile(p, profile, nullptr);
        p.SetOutputFileName((dir_ / "out" / "blocker" / (hostile + ".html")).string());
        SaveProfileFile(p, nullptr);
    }
    std::ofstream(dir_ / "out" / "blocker") << "a file where the folder should be";
    const std::string output = RunAuto(config_, profile);
    EXPECT_NE(output.find("gone\\x1B[2J\\x1B[H\\x07site map written OK\\u009B31m\\x9B0m.html"),
              std::string::npos)
        << output;
    for (const char c : output) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte == '\n' || (byte >= 0x20 && byte != 0x7F && byte != 0xC2 && byte != 0x9B))
            << "byte " << int(byte) << " in " << output;
    }
}

} // namespace
} // namespace app_test
