// The unattended run, as cron starts it: the built program as a child process.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"

namespace app_test {
namespace {

struct RunResult {
    int status = -1;
    std::string output;
};

RunResult RunProgram(const fs::path& config, const std::string& args) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" + config.string() +
                                "' QT_QPA_PLATFORM=offscreen '" PW_PROGRAM "' " + args + " 2>&1";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A loopback port that nothing listens on.
int ClosedPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}

using AutoRunTest = MainFormTest;

TEST_F(AutoRunTest, WritesTheOutputsAndEndsWithStatusZero) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    RunResult run = RunProgram(config_, "'" + profile + "' /AUTO");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(ReadFile(out / "sitemap.html").find("Garden Kneeler"), std::string::npos);
    EXPECT_NE(ReadFile(out / "sitemap.xml").find("</urlset>"), std::string::npos);
    EXPECT_TRUE(fs::exists(out / "smfolder.gif")) << "the images come from the program's folder";
    // The run remembers its profile for the next start.
    EXPECT_TRUE(fs::exists(config_ / "pathweaver" / "SiteMap.dat"));

    fs::remove(out / "sitemap.html");
    run = RunProgram(config_, "--Auto '" + profile + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(out / "sitemap.html"));
}

TEST_F(AutoRunTest, FailuresEndWithAMessageAndAStatusOtherThanZero) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    {
        TMapProfile p;
        LoadProfileFile(p, profile, nullptr);
        p.SetIndexPage((dir_ / "gone" / "index.html").string());
        SaveProfileFile(p, nullptr);
    }
    RunResult run = RunProgram(config_, "-auto '" + profile + "'");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("The Index Page folder cannot be found, please enter a valid path."),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(out / "sitemap.html"));

    TMapProfile site;
    ApplyNewProfileDefaults(site);
    site.SetSpiderType(mstWebsite);
    site.SetWebsite("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/");
    site.SetOutputFileName((out / "site.html").string());
    site.SetFileName((dir_ / "site.qpw").string());
    SaveProfileFile(site, nullptr);
    run = RunProgram(config_, "-auto '" + site.FileName() + "'");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("could not be loaded"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(out / "site.html"));

    run = RunProgram(config_, "-auto");
    EXPECT_NE(run.status, 0) << "nothing to run";
}

} // namespace
} // namespace app_test
