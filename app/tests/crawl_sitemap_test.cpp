// The unattended program crawling a site full of redirects: its XML sitemap lists only addresses that
// answer with the page itself, as each of them, requested again, shows.
#include <regex>
#include <set>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/program_run.h"

namespace app_test {
namespace {

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
    const testsupport::RunResult run =
        testsupport::RunProgram(config_, "-auto '" + profile.FileName() + "'", "", false, 120);
    ASSERT_EQ(run.status, 0) << run.output;

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
        EXPECT_EQ(
            testsupport::RunCommand("curl -s -o /dev/null --max-time 30 -w '%{http_code}' '" + url + "'")
                .output,
            "200")
            << url;
    }
}

} // namespace
} // namespace app_test
