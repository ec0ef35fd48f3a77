// Sites that attack the crawl through its addresses, crawled by the built program as cron runs it: each
// crawl must end within a bound, and the map must hold what lies behind the attack.
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"
#include "tests/support/nginx_peer.h"

namespace app_test {
namespace {

// Far above what the crawls below take on a loaded machine under the sanitizers, and below the five
// minutes a page may take in all: a crawl held by its addresses' cost, or by a page that comes too slowly
// to be worth waiting for, fails it.
constexpr int kBoundSeconds = 240;

// Runs the program unattended on a profile for the site; false when it did not end within the bound.
bool CrawlWithinBound(const fs::path& dir, const fs::path& config, const std::string& site, fs::path& map,
                      std::string& output) {
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstWebsite);
    profile.SetWebsite(site);
    map = dir / "out" / "sitemap.html";
    fs::create_directories(map.parent_path());
    profile.SetOutputFileName(map.string());
    profile.SetFileName((dir / "hostile.qpw").string());
    SaveProfileFile(profile, nullptr);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" + config.string() +
                                "' QT_QPA_PLATFORM=offscreen timeout -s KILL " +
                                std::to_string(kBoundSeconds) + " '" PW_PROGRAM "' -auto '" +
                                profile.FileName() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

using HostileSiteTest = MainFormTest;

TEST_F(HostileSiteTest, AHundredKilobyteLinkDoesNotHoldTheCrawlUp) {
    testsupport::NginxPeer nginx({});
    ASSERT_TRUE(nginx.Running());
    const std::string huge = "/" + std::string(100 * 1024, 'a') + ".html";
    nginx.Put("/index.html", "<html><head><title>Home</title></head><body><a href=\"" + huge +
                                 "\">long</a> <a href=\"/next.html\">next</a></body></html>");
    nginx.Put("/next.html", "<html><head><title>Behind the long link</title></head><body></body></html>");
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, nginx.Url("/"), map, output)) << output;
    EXPECT_NE(ReadFile(map).find("Behind the long link"), std::string::npos);
}

TEST_F(HostileSiteTest, APathFiveHundredFoldersDeepIsCrawledToTheBottom) {
    testsupport::NginxPeer nginx({});
    ASSERT_TRUE(nginx.Running());
    std::string path = "/";
    constexpr int kDepth = 500;
    for (int level = 0; level < kDepth; ++level) {
        const std::string title = level + 1 == kDepth ? "The bottom" : "Level " + std::to_string(level);
        nginx.Put(path + "index.html", "<html><head><title>" + title +
                                           "</title></head><body><a href=\"dd/\">down</a></body></html>");
        path += "dd/";
    }
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, nginx.Url("/"), map, output)) << output;
    EXPECT_NE(ReadFile(map).find("The bottom"), std::string::npos);
}

TEST_F(HostileSiteTest, APageDrippedAByteASecondIsGivenUpAndTheCrawlGoesOn) {
    testsupport::NginxOptions options;
    // Every byte resets a stall timer; only the least rate ends such a page, a minute after it began.
    options.server = "    location = /drip.html { limit_rate 1; }\n";
    testsupport::NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    nginx.Put("/index.html", "<html><head><title>Home</title></head><body><a href=\"drip.html\">drip</a> "
                             "<a href=\"next.html\">next</a></body></html>");
    nginx.Put("/drip.html",
              "<html><head><title>Dripped</title></head><body>" + std::string(4096, 'd') + "</body></html>");
    nginx.Put("/next.html", "<html><head><title>Behind the drip</title></head><body></body></html>");
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, nginx.Url("/"), map, output)) << output;
    const std::string written = ReadFile(map);
    EXPECT_NE(written.find("Behind the drip"), std::string::npos);
    EXPECT_EQ(written.find("drip.html"), std::string::npos) << "a page that never came is no page";
}

} // namespace
} // namespace app_test
