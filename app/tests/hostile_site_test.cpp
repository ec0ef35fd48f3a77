// Sites that attack the crawl through its addresses and its pace, crawled by the built program as cron
// runs it: each crawl must end within a bound, the map must hold what lies behind the attack, and the
// XML sitemap must validate against the sitemap schema.
#include <functional>
#include <regex>
#include <set>
#include <string>

#include "app/core/map_profile.h"
#include "main_form_fixture.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"
#include "tests/support/program_run.h"
#include "unattended_crawl.h"

namespace app_test {
namespace {

// Far above what the crawls below take on a loaded machine under the sanitizers, and below the five
// minutes a page may take in all: a crawl held by its addresses' cost, or by a page that comes too slowly
// to be worth waiting for, fails it.
constexpr int kBoundSeconds = 240;

// Runs the program unattended on a profile for the site, with its sitemap; false when it did not end within
// the bound. Adjust, when given, changes the profile's other options.
bool CrawlWithinBound(const fs::path& dir, const fs::path& config, const std::string& site, fs::path& map,
                      std::string& output, const std::function<void(TMapProfile&)>& Adjust = {}) {
    const Crawl crawl = RunCrawl(
        dir, config, site, "",
        [&](TMapProfile& profile) {
            profile.SetMakeGoogleSM(true);
            if (Adjust) Adjust(profile);
        },
        kBoundSeconds);
    map = crawl.map;
    output = crawl.output;
    return crawl.status == 0;
}

// What xmllint says against the sitemap schema; empty when the sitemap beside the map validates.
std::string SitemapSchemaErrors(const fs::path& map) {
    fs::path xml = map;
    xml.replace_extension(".xml");
    if (!fs::exists(xml)) return "no sitemap " + xml.string();
    const testsupport::RunResult run = testsupport::RunCommand("xmllint --noout --schema '" PW_SOURCE_DIR
                                                               "/app/output/schema/sitemap.xsd' '" +
                                                               xml.string() + "' 2>&1");
    return run.status == 0 ? std::string() : run.output;
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
    EXPECT_EQ(SitemapSchemaErrors(map), "");
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
    EXPECT_EQ(SitemapSchemaErrors(map), "");
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
    EXPECT_EQ(SitemapSchemaErrors(map), "");
}

TEST_F(HostileSiteTest, NamesMadeToBreakTheOutputsAreEncodedAndTheSitemapValidates) {
    testsupport::NginxPeer nginx({});
    ASSERT_TRUE(nginx.Running());
    // File names as a hostile site chooses them: markup, the end of a CDATA section, brackets, a
    // stray percent sign, a terminal escape, a space, UTF-8; titles with markup, NUL and controls.
    const std::vector<std::string> names = {"]]>.html",    "[x].html",        "a&b.html",
                                            "q\"'<>.html", "100%.html",       "esc\x1b[2J.html",
                                            "sp ace.html", "caf\xC3\xA9.html"};
    // A byte that is no UTF-8 in a UTF-8 page reads as U+FFFD, an address nothing answers.
    std::string links = "<a href=\"bad\xFF.html\">link</a>\n";
    for (const std::string& name : names) {
        // The href as a page would hold it: markup characters as entities, everything else raw.
        std::string href;
        for (const char c : name)
            href += c == '&'   ? "&amp;"
                    : c == '<' ? "&lt;"
                    : c == '>' ? "&gt;"
                    : c == '"' ? "&quot;"
                               : std::string(1, c);
        links += "<a href=\"" + href + "\">link</a>\n";
        nginx.Put("/" + name, "<html><head><title>T&lt;script&gt;]]&gt;" + std::string(1, '\0') +
                                  "\x1b[2J\xFF</title></head><body></body></html>");
    }
    nginx.Put("/index.html", "<html><head><meta charset=\"utf-8\"><title>Home</title></head><body>" + links +
                                 "</body></html>");
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, nginx.Url("/"), map, output)) << output;
    EXPECT_EQ(SitemapSchemaErrors(map), "");
    // Each page listed once, at an address that fetches it.
    fs::path xml = map;
    const std::string sitemap = ReadFile(xml.replace_extension(".xml"));
    std::set<std::string> listed;
    const std::regex loc("<loc>([^<]*)</loc>");
    for (auto it = std::sregex_iterator(sitemap.begin(), sitemap.end(), loc); it != std::sregex_iterator();
         ++it)
        listed.insert((*it)[1].str());
    EXPECT_EQ(listed.size(), names.size() + 1) << sitemap;
    for (std::string url : listed) {
        // The XML's entities undone; the apostrophe as the server reads it, so the shell may quote it.
        for (const auto& [entity, text] : std::vector<std::pair<std::string, std::string>>{
                 {"&apos;", "%27"}, {"&quot;", "%22"}, {"&lt;", "%3C"}, {"&gt;", "%3E"}, {"&amp;", "&"}})
            for (size_t at; (at = url.find(entity)) != std::string::npos;)
                url.replace(at, entity.size(), text);
        EXPECT_EQ(
            testsupport::RunCommand("curl -s -g -o /dev/null --max-time 30 -w '%{http_code}' '" + url + "'")
                .output,
            "200")
            << url;
    }
    // No markup of a title reaches the site map as markup.
    const std::string written = ReadFile(map);
    EXPECT_EQ(written.find("<script>"), std::string::npos);
    EXPECT_EQ(written.find('\x1b'), std::string::npos);
}

TEST_F(HostileSiteTest, PagesAskedOnKeptConnectionsTheServerTimedOutAreListed) {
    // The network tests' server, which answers as a broken server does on demand.
    PeerProcess faults({"python3", PW_SOURCE_DIR "/platform/net/tests/http_peer.py"});
    ASSERT_TRUE(faults.Running());
    // The server answers the request after each of the 408 pages with a 408 on the kept connection: as it
    // comes, or before it comes, and closes the connection.
    const std::string start = faults.Url("/links.html?to=/then-408.html&to=/titled/First-after.html"
                                         "&to=/idle-408.html&to=/titled/Second-after.html");
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, start, map, output)) << output;
    const std::string written = ReadFile(map);
    for (const char* title : {"Before the timeout", "First after", "Idle", "Second after"})
        EXPECT_NE(written.find(title), std::string::npos) << title << "\n" << output;
    EXPECT_EQ(SitemapSchemaErrors(map), "");
}

TEST_F(HostileSiteTest, APageWhoseFirstHeaderLineIsFoldedIsLeftOutAndTheCrawlGoesOn) {
    PeerProcess faults({"python3", PW_SOURCE_DIR "/platform/net/tests/http_peer.py"});
    ASSERT_TRUE(faults.Running());
    // The folded answer comes on the connection kept from the start page.
    const std::string start =
        faults.Url("/links.html?to=/folded.html&to=/titled/After-the-fold.html&to=/titled/Last-page.html");
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, start, map, output)) << output;
    const std::string written = ReadFile(map);
    for (const char* title : {"After the fold", "Last page"})
        EXPECT_NE(written.find(title), std::string::npos) << title << "\n" << output;
    EXPECT_EQ(written.find("folded.html"), std::string::npos)
        << "an answer that could not be read is no page";
    EXPECT_EQ(SitemapSchemaErrors(map), "");
}

TEST_F(HostileSiteTest, APageChainSettingFiftyCookiesAPageSendsTheNewestAndTheSession) {
    // Pages 1 to 7 each set 49 new cookies and the session again, page 8 sets 50 new ones: the jar keeps
    // the newest, and the session cookie renewed up to page 7 is not among the oldest.
    testsupport::NginxOptions options;
    options.logFormat = "$request_uri $http_cookie";
    options.server = "    location ~ ^/p(?<page>[1-7])[.]html$ {\n";
    std::string last = "    location = /p8.html {\n";
    for (int i = 0; i < 50; ++i) {
        const std::string cookie = "c" + std::to_string(i) + "=v; Path=/\";\n";
        if (i < 49) options.server += "        add_header Set-Cookie \"k${page}" + cookie;
        last += "        add_header Set-Cookie \"k8" + cookie;
    }
    options.server += "        add_header Set-Cookie \"sid=${page}; Path=/\";\n    }\n" + last + "    }\n";
    testsupport::NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    constexpr int kPages = 9;
    for (int page = 1; page <= kPages; ++page)
        nginx.Put("/p" + std::to_string(page) + ".html",
                  "<html><head><title>Page " + std::to_string(page) + "</title></head><body>" +
                      (page < kPages ? "<a href=\"p" + std::to_string(page + 1) + ".html\">next</a>" : "") +
                      "</body></html>");
    fs::path map;
    std::string output;
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, nginx.Url("/p1.html"), map, output)) << output;
    EXPECT_NE(ReadFile(map).find("Page 9"), std::string::npos);
    const std::string log = nginx.AccessLog(kPages);
    const size_t at = log.rfind("/p9.html ");
    ASSERT_NE(at, std::string::npos) << log;
    const std::string sent = log.substr(at, log.find('\n', at) - at);
    for (const char* kept : {"sid=7", "k8c49=v", "k8c0=v", "k7c48=v"})
        EXPECT_NE(sent.find(kept), std::string::npos) << kept << " in " << sent;
    EXPECT_EQ(sent.find("k1c0=v"), std::string::npos) << sent;
}
// Paths of many folders each: the folders count against the crawl's limit of a million entries beside
// the addresses, so the tree, and the memory it takes, stays within it and the run says the map lists
// only part of the site. 20,100 pages 50 folders deep pass the limit by 25,101 entries.
TEST_F(HostileSiteTest, FoldersOfDeepPathsCountAgainstTheLimitAndTheRunSaysTheMapIsPartial) {
    testsupport::NginxOptions options;
    options.server = "    location /b { default_type text/html;\n"
                     "        return 200 \"<html><head><title>Leaf</title></head></html>\\n\"; }\n";
    testsupport::NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    constexpr int kLinks = 20100;
    std::string below;
    for (int level = 1; level < 50; ++level)
        below += "d/";
    std::string index = "<html><head><title>Deep</title></head><body>\n";
    for (int k = 1; k <= kLinks; ++k)
        index +=
            "<a href=\"/b" + std::to_string(k) + "/" + below + "p.html\">" + std::to_string(k) + "</a>\n";
    nginx.Put("/index.html", index + "</body></html>\n");
    fs::path map;
    std::string output;
    // The page alone, as small as it comes: no sitemap, no images, folders without their addresses.
    ASSERT_TRUE(CrawlWithinBound(dir_, config_, nginx.Url("/"), map, output, [](TMapProfile& profile) {
        profile.SetMakeGoogleSM(false);
        profile.SetAddImages(false);
        profile.SetClassAttribs(false);
        profile.SetNoFolderLinks(true);
    })) << output.substr(0, 4096);
    EXPECT_NE(output.find("the site has more than 1,000,000 addresses and folders; the site map lists only "
                          "part of it\n"),
              std::string::npos)
        << output.substr(0, 4096);
    const std::string written = ReadFile(map);
    const auto count = [&written](const std::string& what) {
        size_t n = 0;
        for (size_t at = written.find(what); at != std::string::npos; at = written.find(what, at + 1))
            ++n;
        return n;
    };
    const size_t folders = count("<ul>"), pages = count("<dt>");
    EXPECT_LE(folders + pages, 1000000u);
    EXPECT_GT(pages, 19000u) << "the pages up to the limit are listed";
    EXPECT_LT(pages, static_cast<size_t>(kLinks));
}

} // namespace
} // namespace app_test
