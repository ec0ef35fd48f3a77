// The unattended run, as cron starts it: the built program as a child process.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"

namespace app_test {
namespace {

struct RunResult {
    int status = -1;
    std::string output;
};

// Without a display; a run that would never end is stopped after a minute (status 124).
RunResult RunProgram(const fs::path& config, const std::string& args) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" + config.string() +
                                "' QT_QPA_PLATFORM=offscreen timeout 60 '" PW_PROGRAM "' " + args +
                                " 2>&1 </dev/null";
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

    // A run killed while it wrote left its temporaries, half a map each, in the published folder: the
    // next run that writes the same outputs takes them away.
    fs::remove(out / "sitemap.html");
    for (const char* left : {".sitemap.html.k1lled00.tmp", ".sitemap.xml.k1lled00.tmp"})
        std::ofstream(out / left) << "<html><body>half a ma";
    run = RunProgram(config_, "--Auto '" + profile + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(out / "sitemap.html"));
    for (const auto& entry : fs::directory_iterator(out))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
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
    EXPECT_NE(run.output.find("-auto needs the profile file to run"), std::string::npos) << run.output;
}

TEST_F(AutoRunTest, AProfileThatIsNoReadableFileIsNamedWithWhatIsWrong) {
    const fs::path fifo = dir_ / "pipe.qpw";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const fs::path dangling = dir_ / "dangling.qpw";
    fs::create_symlink(dir_ / "gone.qpw", dangling);
    const std::pair<std::string, std::string> cases[] = {
        {dir_.string(), "it is a folder"},
        {fifo.string(), "it is a named pipe"},
        {"/dev/null", "it is a device"},
        {dangling.string(), "it is a symbolic link to a file that does not exist"},
        {(dir_ / "missing.qpw").string(), "there is no such file"},
    };
    for (const auto& [path, wrong] : cases) {
        const RunResult run = RunProgram(config_, "-auto '" + path + "'");
        EXPECT_NE(run.status, 0) << path;
        EXPECT_NE(run.status, 124) << "stopped by the time limit: " << path;
        EXPECT_NE(run.output.find("\"" + path + "\" cannot be opened: " + wrong), std::string::npos)
            << run.output;
        EXPECT_EQ(run.output.find("no profile file was given"), std::string::npos) << run.output;
    }
}

TEST_F(AutoRunTest, HelpVersionAndNoDisplayAnswerAndEnd) {
    RunResult run = RunProgram(config_, "--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("Usage: pathweaver", 0), 0u) << run.output;
    EXPECT_EQ(RunProgram(config_, "-h").output, run.output);
    run = RunProgram(config_, "--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Quillmark Pathweaver 4.5\n");
    // With a display too, before any window is made.
    const std::string withDisplay = "env DISPLAY=:9999 '" PW_PROGRAM "' --version 2>&1";
    FILE* pipe = popen(withDisplay.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[128] = {};
    const bool read = fgets(line, sizeof line, pipe) != nullptr;
    const int status = pclose(pipe);
    EXPECT_TRUE(read);
    EXPECT_STREQ(line, "Quillmark Pathweaver 4.5\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // Nobody could see the window: said at once, not run for ever.
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    for (const std::string& args : {std::string(), "'" + profile + "'"}) {
        run = RunProgram(config_, args);
        EXPECT_EQ(run.status, 1) << args << ": " << run.output;
        EXPECT_NE(run.output.find("no display"), std::string::npos) << run.output;
    }
    run = RunProgram(config_, "--frobnicate");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("unknown option --frobnicate"), std::string::npos) << run.output;
}

} // namespace
} // namespace app_test
