// The unattended run, as cron starts it: the built program as a child process.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/main_form.h"
#include "app/main_texts.h"
#include "ftp/proxy_settings.h"
#include "ftp/server_profile.h"
#include "ftp/tests/daemon_peer.h"
#include "main_form_fixture.h"
#include "platform/rtl/registry.h"
#include "tests/support/deep_folders.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/program_run.h"

namespace app_test {
namespace {

using testsupport::RunProgram;
using testsupport::RunResult;

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

// Loading libcurl and the libraries it brings is a good part of a short run's time: a run that never goes
// on the network must not load it (the loader lists each library it maps), and one that does still finds it.
TEST_F(AutoRunTest, OnlyARunOnTheNetworkLoadsTheHttpLibrary) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    RunResult run = RunProgram(config_, "-auto '" + profile + "'", "LD_DEBUG=files");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("file=libQt6Core.so"), std::string::npos) << "the loader's list is there";
    EXPECT_EQ(run.output.find("libcurl"), std::string::npos);
    EXPECT_TRUE(fs::exists(out / "sitemap.xml"));

    testsupport::NginxPeer site(testsupport::NginxOptions{});
    TMapProfile crawl;
    ApplyNewProfileDefaults(crawl);
    crawl.SetSpiderType(mstWebsite);
    crawl.SetWebsite(site.Url("/"));
    crawl.SetOutputFileName((out / "site.html").string());
    crawl.SetFileName((dir_ / "site.qpw").string());
    SaveProfileFile(crawl, nullptr);
    site.Put("/index.html", "<html><head><title>Home</title></head><body></body></html>");
    run = RunProgram(config_, "-auto '" + crawl.FileName() + "'", "LD_DEBUG=files");
    EXPECT_NE(run.output.find("file=libcurl.so"), std::string::npos) << run.output;
    EXPECT_NE(ReadFile(out / "site.html").find("Home"), std::string::npos) << run.output;
}

TEST_F(AutoRunTest, AHeadlessRunLeavesTheWindowWhereTheUserLeftIt) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    // Maximized, at a place only a screen larger than the one a headless run makes up can show.
    const std::string placement =
        "[frmSiteMapMainPosition]\nState=2\nTop=900\nLeft=1500\nRight=2100\nBottom=1436\n";
    fs::create_directories(config_ / "pathweaver");
    std::ofstream(config_ / "pathweaver" / "forminfo.ini") << placement;
    const RunResult run = RunProgram(config_, "-auto '" + profile + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(out / "sitemap.html"));
    EXPECT_EQ(ReadFile(config_ / "pathweaver" / "forminfo.ini"), placement);
}

TEST_F(AutoRunTest, AHeadlessRunLoadsNoFontAndLeavesTheStoredBarsAsTheyWere) {
    const fs::path out = dir_ / "out";
    const std::string profile = MakeSampleProfile("sample.qpw", out);
    // The toolbar beside the menu, further right than any window: a run that laid the bars out and
    // kept them would bring it back.
    const std::string bars = "K :Software :Quillmark%20Software :Pathweaver :Bars";
    const std::string stored = "PathweaverRegistry 1\nK\nK :Software\nK :Software :Quillmark%20Software\n"
                               "K :Software :Quillmark%20Software :Pathweaver\n" +
                               bars + "\nV :BarCount dword :2\n" + bars + " :Bar0\nV :Row dword :0\n" + bars +
                               " :Bar1\nV :Row dword :0\nV :DockedLeft dword :5000\n";
    const fs::path registry = config_ / "pathweaver" / "registry.dat";
    fs::create_directories(registry.parent_path());
    std::ofstream(registry) << stored;
    fs::permissions(registry, fs::perms::owner_read | fs::perms::owner_write);
    // Fontconfig complains of a configuration it cannot read the moment anything asks it for a font.
    const RunResult run = RunProgram(config_, "-auto '" + profile + "'", "FONTCONFIG_FILE=/nonexistent.conf");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("Fontconfig"), std::string::npos) << run.output;
    EXPECT_NE(ReadFile(out / "sitemap.html").find("Garden Kneeler"), std::string::npos);
    EXPECT_EQ(ReadFile(registry), stored);
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
    const testsupport::ClosedPort closed;
    site.SetWebsite(closed.Url("/"));
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

// A user at the limit of their processes (ulimit -u): no thread can be started, which the run does not
// expect. Such an error ends the run at once, says why, and the status tells cron so.
TEST_F(AutoRunTest, AnErrorNothingHandledEndsTheRunWithItsReasonAndAStatusOtherThanZero) {
    const fs::path site = dir_ / "site", out = dir_ / "out";
    fs::create_directories(site / "inner");
    std::ofstream(site / "index.html") << "<html><title>Home</title><a href=\"inner/a.html\">A</a></html>";
    std::ofstream(site / "inner" / "a.html") << "<html><title>A</title></html>";
    const std::string profile = MakeSampleProfile("site.qpw", out);
    {
        TMapProfile p;
        LoadProfileFile(p, profile, nullptr);
        p.SetIndexPage((site / "index.html").string());
        SaveProfileFile(p, nullptr);
    }
    // Root has no such limit: as root, the run is made as nobody, who is given the test's folder. The
    // program is opened before the user changes and started through that descriptor, since the tree it was
    // built in may be closed to other users.
    std::string start = "prlimit --nproc=0";
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        ASSERT_EQ(lchown(dir_.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir_))
            ASSERT_EQ(lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid), 0) << entry.path();
        start = "sh -c 'exec 3<\"$0\" && exec setpriv --reuid=" + std::to_string(nobody->pw_uid) +
                " --regid=" + std::to_string(nobody->pw_gid) + " --clear-groups " + start +
                " /proc/self/fd/3 \"$@\"'";
    }
    // Nor can the address sanitizer's leak check start its thread at the end: it is left out, so that the
    // status is the program's own.
    const RunResult run =
        RunProgram(config_, "-auto '" + profile + "'", "ASAN_OPTIONS=detect_leaks=0 " + start);
    EXPECT_EQ(run.status, 1) << "124: the run went on and never ended: " << run.output;
    EXPECT_NE(run.output.find("pathweaver: Resource temporarily unavailable"), std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(out / "sitemap.html")) << run.output;
}

// A profile's list may end without its ";": the crawl and the scan both take the last type listed.
TEST_F(AutoRunTest, TheCrawlAndTheScanTakeThePagesOfTheSameTypes) {
    testsupport::NginxOptions options;
    options.http = "  types { text/html html htm; text/plain txt; }\n";
    testsupport::NginxPeer site(options);
    ASSERT_TRUE(site.Running());
    const fs::path local = dir_ / "local";
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"index.html", "<html><body><a href=\"a.htm\">A</a> <a href=\"b.html\">B</a> "
                       "<a href=\"c.txt\">C</a> <a href=\"d.HTM\">D</a></body></html>"},
        {"a.htm", "<html><title>A</title></html>"},
        {"b.html", "<html><title>B</title></html>"},
        {"c.txt", "not listed"},
        {"d.HTM", "<html><title>D</title></html>"}};
    fs::create_directories(local);
    for (const auto& [name, text] : pages) {
        site.Put("/" + name, text);
        std::ofstream(local / name) << text;
    }
    for (const bool crawl : {true, false}) {
        const fs::path out = dir_ / (crawl ? "crawled" : "scanned");
        fs::create_directories(out);
        TMapProfile profile;
        ApplyNewProfileDefaults(profile);
        profile.SetSpiderType(crawl ? mstWebsite : mstLocal);
        profile.SetWebsite(site.Url("/"));
        profile.SetIndexPage((local / "index.html").string());
        profile.SetFileTypes("*.html;*.htm");
        profile.SetMakeGoogleSM(true);
        profile.SetOutputFileName((out / "map.html").string());
        profile.SetFileName((dir_ / (crawl ? "crawl.qpw" : "scan.qpw")).string());
        SaveProfileFile(profile, nullptr);
        const RunResult run = RunProgram(config_, "-auto '" + profile.FileName() + "'");
        ASSERT_EQ(run.status, 0) << run.output;
        const std::string xml = ReadFile(out / "map.xml");
        for (const char* listed : {"/a.htm<", "/b.html<", "/d.HTM<"})
            EXPECT_NE(xml.find(listed), std::string::npos) << (crawl ? "crawl " : "scan ") << listed << xml;
        EXPECT_EQ(xml.find("c.txt"), std::string::npos) << xml;
    }
}

// Pages below the system's path limit are gathered like any other, their titles read, and listed in the
// page; the sitemap lists those whose address the sitemap protocol takes (2,048 characters at most).
TEST_F(AutoRunTest, ALocalSiteDeeperThanThePathLimitIsScannedWhole) {
    const fs::path local = dir_ / "local";
    const fs::path out = dir_ / "out";
    fs::create_directories(local);
    fs::create_directories(out);
    std::ofstream(local / "index.html") << "<html><title>Home</title></html>";
    const testsupport::DeepFolders deep(local.string(), 450, 50);
    ASSERT_EQ(deep.Pages().size(), 9u);
    ASSERT_GT(local.string().size() + deep.Relative(450).size(), 4096u);
    const std::string site = "http://127.0.0.1:8184/";
    const std::string profile = LocalProfile(dir_, "deep.qpw", site, local, out);
    const RunResult run = RunProgram(config_, "-auto '" + profile + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string html = ReadFile(out / "sitemap.html");
    const std::string xml = ReadFile(out / "sitemap.xml");
    for (const int level : deep.Pages()) {
        const std::string address = site + deep.Relative(level) + testsupport::DeepFolders::PageName(level);
        EXPECT_NE(
            html.find("href=\"" + address + "\" class=\"mapitem\">Page at " + std::to_string(level) + "<"),
            std::string::npos)
            << level;
        EXPECT_EQ(xml.find("<loc>" + address + "</loc>") != std::string::npos, address.size() <= 2048)
            << level;
    }
    // Those the sitemap cannot take are counted for the person who reads the run: the pages at 200 and
    // deeper, and the folders whose own address is too long.
    size_t tooLong = 0;
    for (int level = 1; level <= 450; ++level)
        tooLong += (site + deep.Relative(level)).size() > 2048;
    for (const int level : deep.Pages())
        tooLong += (site + deep.Relative(level) + testsupport::DeepFolders::PageName(level)).size() > 2048;
    EXPECT_NE(
        run.output.find("Entries left out of the XML sitemap, as their addresses are longer than the 2,048 "
                        "characters a sitemap takes: " +
                        std::to_string(tooLong) + "\n"),
        std::string::npos)
        << run.output;
}

// The sitemap takes addresses of up to 2,048 characters: one of exactly 2,048 is listed and not counted as
// left out, one of 2,049 is left out and counted; the page lists both.
TEST_F(AutoRunTest, AnAddressOfExactly2048CharactersIsInTheSitemapAndOneLongerIsCountedAsLeftOut) {
    const fs::path local = dir_ / "local";
    const fs::path out = dir_ / "out";
    const std::string site = "http://127.0.0.1:8184/";
    std::string folders;
    for (char name = 'a'; name < 'a' + 9; ++name)
        folders += std::string(200, name) + "/";
    fs::create_directories(local / folders);
    fs::create_directories(out);
    std::ofstream(local / "index.html") << "<html><title>Home</title></html>";
    const size_t room = 2048 - site.size() - folders.size() - std::string(".html").size();
    const std::string fits = folders + std::string(room, 'p') + ".html";
    const std::string over = folders + std::string(room + 1, 'q') + ".html";
    ASSERT_EQ((site + fits).size(), 2048u);
    for (const std::string& page : {fits, over})
        std::ofstream(local / page) << "<html><title>Page</title></html>";
    const std::string profile = LocalProfile(dir_, "edge.qpw", site, local, out);
    const RunResult run = RunProgram(config_, "-auto '" + profile + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string xml = ReadFile(out / "sitemap.xml");
    EXPECT_NE(xml.find("<loc>" + site + fits + "</loc>"), std::string::npos);
    EXPECT_EQ(xml.find(over), std::string::npos);
    const std::string html = ReadFile(out / "sitemap.html");
    for (const std::string& page : {fits, over})
        EXPECT_NE(html.find("href=\"" + site + page + "\""), std::string::npos) << page.size();
    EXPECT_NE(run.output.find("Entries left out of the XML sitemap, as their addresses are longer than the "
                              "2,048 characters a sitemap takes: 1\n"),
              std::string::npos)
        << run.output;
}

// The site address may name the home page: the outputs address the files beside it, not below it. Run from
// cron, the only line on standard error is the program's own about the missing server.
TEST_F(AutoRunTest, ASiteAddressThatNamesThePageAddressesTheFilesBesideIt) {
    const fs::path local = dir_ / "local";
    const fs::path out = dir_ / "out";
    fs::create_directories(local / "docs");
    fs::create_directories(out);
    std::ofstream(local / "index.html") << "<html><title>Home</title></html>";
    std::ofstream(local / "API.html") << "<html><title>API</title></html>";
    std::ofstream(local / "docs" / "guide.html") << "<html><title>Guide</title></html>";
    const std::string profile =
        LocalProfile(dir_, "page.qpw", "http://127.0.0.1:8184/index.html", local, out);
    const RunResult run = RunProgram(config_, "-auto '" + profile + "'", "", true);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, std::string("pathweaver: ") + main_text::NoServerForAuto + "\n");
    for (const char* output : {"sitemap.html", "sitemap.xml"}) {
        const std::string text = ReadFile(out / output);
        for (const char* address : {"http://127.0.0.1:8184/index.html", "http://127.0.0.1:8184/API.html",
                                    "http://127.0.0.1:8184/docs/guide.html"})
            EXPECT_NE(text.find(address), std::string::npos) << output << " " << address << "\n" << text;
        EXPECT_EQ(text.find("index.html/"), std::string::npos) << output << "\n" << text;
    }
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
    run = testsupport::RunCommand("env DISPLAY=:9999 '" PW_PROGRAM "' --version 2>&1");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "Quillmark Pathweaver 4.5\n");

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

// The unattended run to the end: the written files go to vsftpd on loopback, into a host folder the run
// makes, directly or through a SOCKS proxy; a refused login or a missing server profile ends it with a
// status other than zero.
class AutoUploadTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        if (!server_.Running()) GTEST_SKIP() << "vsftpd could not be started here";
    }
    // A profile of the sample site naming the server profile Server and the host folder Folder.
    std::string UploadProfile(const std::string& Server, const std::string& Folder) {
        const std::string file = MakeSampleProfile("upload.qpw", out_);
        TMapProfile p;
        LoadProfileFile(p, file, nullptr);
        p.SetServerName(Server);
        p.SetServerDir(Folder);
        SaveProfileFile(p, nullptr);
        return file;
    }
    void StoreServer(const std::string& Name, const std::string& User, const std::string& Password) {
        JDServerData s;
        s.ItemName = Name;
        s.HostName = "127.0.0.1";
        s.Port = server_.Port();
        s.Username = User;
        s.Password = Password;
        s.SavePassword = true;
        s.PassiveMode = true;
        s.Timeout = 60;
        SaveServerProfiles({s});
    }
    // Every file the run wrote (the page, the sitemap and the images the page shows) arrived whole.
    void ExpectUploaded(const fs::path& Folder) {
        int images = 0;
        for (const char* name : {"sitemap.html", "sitemap.xml", "smfolder.gif", "smfile.gif", "smimg.gif"}) {
            const bool image = std::string(name).ends_with(".gif");
            if (image && !fs::exists(out_ / name)) continue;
            images += image;
            ASSERT_TRUE(fs::exists(out_ / name)) << name;
            EXPECT_EQ(ReadFile(Folder / name), ReadFile(out_ / name)) << name;
        }
        EXPECT_GT(images, 0);
    }

    ftptest::Vsftpd server_;
    fs::path out_ = dir_ / "out";
};

TEST_F(AutoUploadTest, UploadsEveryWrittenFileIntoAHostFolderItMakes) {
    StoreServer("Loopback", "anonymous", "");
    RunResult run = RunProgram(config_, "-auto '" + UploadProfile("LOOPBACK", "pub/site") + "'", "", true);
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(fs::path(server_.AnonRoot()) / "pub" / "site");
    // Run from cron, whatever it writes is mailed: a run that went well says nothing, not even the
    // toolkit's notes on what its headless windows cannot do.
    EXPECT_EQ(run.output, "");

    // The same through a SOCKS 5 proxy that asks for a login.
    ftptest::Microsocks proxy("alice", "wonder");
    ASSERT_TRUE(proxy.Running());
    SaveProxySettings({"127.0.0.1", "alice", "wonder", proxy.PortText(), "Socks5"});
    fs::remove_all(fs::path(server_.AnonRoot()) / "pub" / "site");
    run = RunProgram(config_, "-auto '" + UploadProfile("Loopback", "pub/site") + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(fs::path(server_.AnonRoot()) / "pub" / "site");

    // SOCKS 4 through dante.
    ftptest::Dante dante;
    ASSERT_TRUE(dante.Running()) << "dante did not start";
    SaveProxySettings({"127.0.0.1", "", "", dante.PortText(), "Socks4"});
    fs::remove_all(fs::path(server_.AnonRoot()) / "pub" / "site");
    run = RunProgram(config_, "-auto '" + UploadProfile("Loopback", "pub/site") + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(fs::path(server_.AnonRoot()) / "pub" / "site");

    // A proxy that is set but gone is never gone around.
    SaveProxySettings({"127.0.0.1", "alice", "wonder", proxy.PortText(), "Socks5"});
    proxy.Stop();
    fs::remove_all(fs::path(server_.AnonRoot()) / "pub" / "site");
    run = RunProgram(config_, "-auto '" + UploadProfile("Loopback", "pub/site") + "'");
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("SOCKS proxy 127.0.0.1:" + proxy.PortText() + " cannot be reached"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(fs::path(server_.AnonRoot()) / "pub" / "site" / "sitemap.html"));
}

// A stored toolbar layout with values of the wrong type, or cut short, stops no run: headless or shown
// on a display of its own, the run writes and uploads its files and the server profiles stay. Shown,
// it writes the mistyped layout back whole, and leaves a layout cut short as it found it.
TEST_F(AutoUploadTest, AStoredLayoutOfWrongTypesOrCutShortStopsNoRun) {
    StoreServer("Loopback", "anonymous", "");
    Start();
    Stop();
    const std::string bars = std::string("\\") + mainwin::kBarsRegistryPath;
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(bars + "\\Bar1", false));
        reg.WriteString("ItemLinkCount", "6");
        reg.CloseKey();
        ASSERT_TRUE(reg.OpenKey(bars + "\\SubItem_mnuFile\\ItemLink0", false));
        reg.WriteBinaryData("BeginGroup", "", 0);
        reg.WriteString("UserDefine", "");
        reg.CloseKey();
    }
    const fs::path store = config_ / "pathweaver" / "registry.dat",
                   site = fs::path(server_.AnonRoot()) / "pub" / "site";
    const std::string mistyped = ReadFile(store);
    RunResult run = RunProgram(config_, "-auto '" + UploadProfile("Loopback", "pub/site") + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(site);
    EXPECT_EQ(ReadFile(store), mistyped) << "nobody saw the bars";

    const testsupport::XServer xvfb("1024x768x24");
    if (!xvfb.Problem().empty()) GTEST_SKIP() << xvfb.Problem();
    const std::string display = "DISPLAY=" + xvfb.Display() + " QT_QPA_PLATFORM=xcb";
    fs::remove_all(site);
    run = RunProgram(config_, "-auto '" + UploadProfile("Loopback", "pub/site") + "'", display);
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(site);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly(bars + "\\Bar1"));
        EXPECT_EQ(reg.ReadInteger("ItemLinkCount"), 6);
    }

    const std::string whole = ReadFile(store);
    const std::string cut = whole.substr(0, whole.find(":Bars :Bar1\n") + 40);
    std::ofstream(store, std::ios::trunc) << cut;
    fs::remove_all(site);
    run = RunProgram(config_, "-auto '" + UploadProfile("Loopback", "pub/site") + "'", display);
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(site);
    EXPECT_EQ(ReadFile(store), cut);
    JDServerData kept;
    EXPECT_TRUE(LoadServerProfile("Loopback", kept));
    EXPECT_EQ(kept.Port, server_.Port());
}

// A value of the server profile or of the proxy stored as a number or as binary data: the run ends,
// names the value once, reads it as its default and uploads only where that default still reaches the
// server (status 0 exactly then; never around the proxy that was set), and the store stays as it was.
TEST_F(AutoUploadTest, AValueStoredAsANumberOrBinaryIsSaidOnceAndTheRunEndsHonestly) {
    StoreServer("Other", "someone", "secret");
    StoreServer("Loopback", "anonymous", "");
    const fs::path store = config_ / "pathweaver" / "registry.dat",
                   site = fs::path(server_.AnonRoot()) / "pub" / "site";
    const std::string good = ReadFile(store), profile = UploadProfile("Loopback", "pub/site");
    const std::string server = std::string(ftpprofile::ProfilesKey) + "\\Loopback";
    struct Case {
        std::string key;
        const char* value;
        bool uploads;
    };
    const Case cases[] = {{server, "Port", false},
                          {server, "HostName", false},
                          {server, "HostDirName", true},
                          {server, "PassiveMode", true},
                          {server, "Secure", true},
                          {server, "Password", true},
                          {ftpprofile::ProxyKey, "proxyhostname", false},
                          {ftpprofile::ProxyKey, "proxylogin", false},
                          {ftpprofile::ProxyKey, "proxytype", false}};
    for (const Case& c : cases)
        for (const bool binary : {false, true}) {
            SCOPED_TRACE(std::string(c.value) + (binary ? " as binary data" : " as a number"));
            std::ofstream(store, std::ios::trunc | std::ios::binary) << good;
            const bool proxy = c.key == ftpprofile::ProxyKey;
            if (proxy) SaveProxySettings({"127.0.0.1", "alice", "wonder", "1080", "Socks5"});
            {
                TRegistry reg;
                ASSERT_TRUE(reg.OpenKey(c.key, false));
                binary ? reg.WriteBinaryData(c.value, "\x01\x02", 2)
                       : reg.WriteInteger(c.value, server_.Port());
            }
            const std::string mistyped = ReadFile(store);
            fs::remove_all(site);
            const RunResult run = RunProgram(config_, "-auto '" + profile + "'");
            ASSERT_NE(run.status, 124) << "stopped by the time limit: " << run.output;
            const std::string said = (proxy ? std::string("Proxy settings") : "Server profile \"Loopback\"") +
                                     ": the value " + c.value + " is stored as " +
                                     (binary ? "binary data" : "a number");
            const size_t first = run.output.find(said);
            EXPECT_NE(first, std::string::npos) << run.output;
            EXPECT_EQ(run.output.find(said, first + 1), std::string::npos) << "said once: " << run.output;
            const bool uploaded = fs::exists(site / "sitemap.html");
            EXPECT_EQ(uploaded, c.uploads) << run.output;
            EXPECT_EQ(run.status == 0, uploaded) << run.output;
            EXPECT_EQ(ReadFile(store), mistyped);
        }
}

// A store of server profiles that is there but cannot be read is said to be so, naming it and why, not
// taken for a store without the profile; a named pipe does not hold the run up, and nothing replaces
// what stands there: not even a link to a drive that is not mounted, nor a settings folder that is a file.
TEST_F(AutoUploadTest, AnUnreadableProfileStoreIsSaidAsSuchAndLeftAsItIs) {
    StoreServer("Loopback", "anonymous", "");
    const std::string profile = UploadProfile("Loopback", "pub/site");
    const fs::path folder = config_ / "pathweaver", store = folder / "registry.dat",
                   loop = store.string() + ".loop";
    fs::rename(store, dir_ / "good.dat");
    // Shown on a display, the run stores the toolbar layout as its window goes: that write is refused too.
    const testsupport::XServer xvfb("1024x768x24");
    if (!xvfb.Problem().empty()) GTEST_SKIP() << xvfb.Problem();
    const std::string display = "DISPLAY=" + xvfb.Display() + " QT_QPA_PLATFORM=xcb";
    struct Case {
        std::string why;
        fs::file_type type;
        fs::path left; // what must stay as it was: the store, else its folder
    };
    const fs::path unmounted = dir_ / "unmounted" / "registry.dat";
    for (const Case& c :
         {Case{"it is a folder", fs::file_type::directory, store},
          Case{"it is a named pipe (FIFO)", fs::file_type::fifo, store},
          Case{"it is a loop of symbolic links", fs::file_type::symlink, store},
          Case{"it is a symbolic link to a file that does not exist", fs::file_type::symlink, store},
          Case{folder.string() + " is not a folder", fs::file_type::regular, folder}})
        for (const std::string& environment : {std::string(), display}) {
            SCOPED_TRACE(c.why + (environment.empty() ? "" : ", shown"));
            if (c.type == fs::file_type::directory) fs::create_directory(store);
            if (c.type == fs::file_type::fifo) {
                ASSERT_EQ(mkfifo(store.c_str(), 0600), 0);
            }
            if (c.type == fs::file_type::symlink) {
                fs::create_symlink(c.why.find("loop") != std::string::npos ? loop : unmounted, store);
                if (c.why.find("loop") != std::string::npos) fs::create_symlink(store, loop);
            }
            if (c.type == fs::file_type::regular) {
                fs::rename(folder, dir_ / "settings");
                std::ofstream(folder) << "notes";
            }
            const RunResult run = RunProgram(config_, "-auto '" + profile + "'", environment);
            EXPECT_NE(run.status, 0) << run.output;
            EXPECT_NE(run.status, 124) << "stopped by the time limit: " << run.output;
            const std::string unreadable = "Cannot open file " + store.string() + ": " + c.why;
            EXPECT_NE(run.output.find("The server profiles could not be read. " + unreadable),
                      std::string::npos)
                << run.output;
            EXPECT_EQ(run.output.find("not found"), std::string::npos) << run.output;
            if (!environment.empty()) {
                // The window says it as it starts, where a person would see it.
                EXPECT_NE(run.output.find("The server profiles and the toolbar layout could not be read. " +
                                          unreadable + ". The program goes on without them"),
                          std::string::npos)
                    << run.output;
                EXPECT_NE(run.output.find("The toolbar layout could not be stored: Failed to set data for '" +
                                          store.string() + "'. " + unreadable),
                          std::string::npos)
                    << run.output;
            }
            EXPECT_TRUE(fs::exists(out_ / "sitemap.html")) << "the files are written before the upload";
            EXPECT_FALSE(fs::exists(fs::path(server_.AnonRoot()) / "pub" / "site" / "sitemap.html"));
            EXPECT_EQ(fs::symlink_status(c.left).type(), c.type) << "left as it was";
            if (c.type == fs::file_type::regular) {
                EXPECT_EQ(ReadFile(folder), "notes");
                fs::remove(folder);
                fs::rename(dir_ / "settings", folder);
            }
            fs::remove(loop);
            fs::remove_all(store);
        }
    // Readable again, the store still holds the profile.
    fs::rename(dir_ / "good.dat", store);
    const RunResult run = RunProgram(config_, "-auto '" + profile + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    ExpectUploaded(fs::path(server_.AnonRoot()) / "pub" / "site");
}

TEST_F(AutoUploadTest, ARefusedLoginOrAMissingProfileEndsWithAStatusOtherThanZero) {
    StoreServer("Refused", "no-such-user", "secret");
    RunResult run = RunProgram(config_, "-auto '" + UploadProfile("Refused", "pub") + "'");
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.status, 124) << "stopped by the time limit: " << run.output;
    EXPECT_NE(run.output.find("Error 530"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(out_ / "sitemap.html")) << "the files are written before the upload";

    run = RunProgram(config_, "-auto '" + UploadProfile("Elsewhere", "pub") + "'");
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Server profile \"Elsewhere\" not found"), std::string::npos) << run.output;

    // A profile kept without its password cannot be typed in by nobody: said, not hung.
    StoreServer("NoPassword", "no-such-user", "");
    run = RunProgram(config_, "-auto '" + UploadProfile("NoPassword", "pub") + "'");
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.status, 124) << run.output;
    EXPECT_NE(run.output.find("keeps no password"), std::string::npos) << run.output;

    // Secure connection types are refused before anything is sent.
    JDServerData sftp;
    sftp.ItemName = "Secure";
    sftp.HostName = "127.0.0.1";
    sftp.Port = server_.Port();
    sftp.Username = "anonymous";
    sftp.Protocol = 1;
    SaveServerProfiles({sftp});
    run = RunProgram(config_, "-auto '" + UploadProfile("Secure", "pub") + "'");
    EXPECT_NE(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("SFTP"), std::string::npos) << run.output;
}

} // namespace
} // namespace app_test
