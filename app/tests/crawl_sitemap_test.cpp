// The unattended program crawling a site full of redirects: its XML sitemap lists only addresses that
// answer with the page itself, as each of them, requested again, shows.
#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <set>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"
#include "tests/support/nginx_peer.h"

namespace app_test {
namespace {

std::string Output(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int code = pclose(pipe);
    status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
    return out;
}

using CrawlSitemapTest = MainFormTest;

TEST_F(CrawlSitemapTest, TheSitemapOfASiteFullOfRedirectsListsNoAddressThatRedirects) {
    testsupport::NginxOptions options;
    options.hosts = {"127.0.0.1", "127.0.0.2"};
    options.http = "  types { text/html html; }\n";
    options.server = R"(
    location /r/ { rewrite ^/r(/.*)$ $1 permanent; }
    location = /old.html { return 302 /chain.html; }
    location = /chain.html { return 307 /new.html; }
    location = /away.html { return 302 http://127.0.0.2:$server_port/a.html; }
    location = /loop.html { return 302 /loop.html; }
)";
    testsupport::NginxPeer site(options);
    ASSERT_TRUE(site.Running());
    const auto put = [&](const std::string& path, const std::string& title, std::vector<std::string> links) {
        std::string body = "<html><head><title>" + title + "</title></head><body>\n";
        for (const std::string& href : links)
            body += "<a href=\"" + href + "\">" + href + "</a>\n";
        site.Put(path, body + "</body></html>\n");
    };
    put("/index.html", "Home",
        {"a.html", "dir", "r/b.html", "old.html", "away.html", "loop.html", "r/a.html", "sub",
         "r/sub/c.html"});
    put("/a.html", "A", {"r/dir/", "/dir/", "b.html", "r/new.html", "/r/"});
    put("/b.html", "B", {"dir", "sub/", "r/sub/"});
    put("/dir/index.html", "Dir", {"../r/a.html", "d.html", "/r/dir/d.html"});
    put("/dir/d.html", "D", {"../old.html"});
    put("/new.html", "New", {"chain.html"});
    put("/sub/index.html", "Sub", {"c.html"});
    put("/sub/c.html", "C", {"/r/sub/c.html"});

    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstWebsite);
    profile.SetWebsite(site.Url("/"));
    profile.SetMakeGoogleSM(true);
    const fs::path out = dir_ / "out";
    fs::create_directories(out);
    profile.SetOutputFileName((out / "site.html").string());
    profile.SetFileName((dir_ / "site.qpw").string());
    SaveProfileFile(profile, nullptr);
    int status = -1;
    const std::string printed =
        Output("env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" + config_.string() +
                   "' QT_QPA_PLATFORM=offscreen '" PW_PROGRAM "' -auto '" + profile.FileName() + "' 2>&1",
               status);
    ASSERT_EQ(status, 0) << printed;

    const std::string xml = ReadFile(out / "site.xml");
    std::set<std::string> listed;
    const std::regex loc("<loc>([^<]*)</loc>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), loc); it != std::sregex_iterator(); ++it)
        listed.insert((*it)[1].str());
    for (const char* path :
         {"/", "/a.html", "/b.html", "/dir/", "/dir/d.html", "/new.html", "/sub/", "/sub/c.html"})
        EXPECT_EQ(listed.count(site.Url(path)), 1u) << path << " in\n" << xml;
    // Every address listed answers with its page, not with a redirect.
    for (const std::string& url : listed) {
        int curlStatus = -1;
        const std::string code =
            Output("curl -s -o /dev/null --max-time 30 -w '%{http_code}' '" + url + "'", curlStatus);
        EXPECT_EQ(code, "200") << url;
    }
}

} // namespace
} // namespace app_test
