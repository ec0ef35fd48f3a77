#include "app/core/map_profile.h"
#include "app/crawl/crawl_view.h"
#include "app/crawl/website_crawl.h"
#include "crawl_test_support.h"
#include "fetch/file_fetcher.h"
#include "fetch/http/http_settings.h"
#include "fetch/http/win_http.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/string_list.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using crawl::CrawledPage;

class RecordingView : public crawl::CrawlView {
public:
    void ShowLookingIn(const std::string& s) override { lookingIn = s; }
    void ShowFileFound(const std::string& s) override {
        found.push_back(s);
        if (OnFileFound) OnFileFound(s);
    }
    void ShowFileCount(const std::string& s) override { fileCount = s; }
    void ShowTotalFiles(const std::string& s) override { totalFiles = s; }
    int MemoLineCount() const override { return static_cast<int>(memo.size()); }
    void ClearMemo() override {
        memo.clear();
        ++memoClears;
    }
    void AppendMemo(const std::string& s) override { memo.push_back(s); }

    std::string lookingIn, fileCount, totalFiles;
    std::vector<std::string> found, memo;
    int memoClears = 0;
    std::function<void(const std::string&)> OnFileFound;
};

class RecordingResults : public crawl::CrawlResults {
public:
    void AddRootNode(const CrawledPage& p) override {
        EXPECT_TRUE(pages.empty()) << "the root comes first";
        pages.push_back(p);
    }
    void AddPageNode(const CrawledPage& p) override {
        EXPECT_FALSE(pages.empty()) << "a page before the root";
        pages.push_back(p);
    }
    const CrawledPage* Find(const std::string& url) const {
        for (const auto& p : pages)
            if (p.URL == url) return &p;
        return nullptr;
    }
    std::vector<CrawledPage> pages;
};

std::string page(const std::string& title, const std::string& body, const std::string& head = {}) {
    return "<html><head>" + head + (title.empty() ? "" : "<title>" + title + "</title>") + "</head><body>" +
           body + "</body></html>";
}

std::string links(std::initializer_list<std::string> hrefs) {
    std::string out;
    for (const auto& h : hrefs)
        out += "<a href=\"" + h + "\">" + h + "</a>\n";
    return out;
}

// The request lines of the log, with the repeats of a redirect loop folded into one line.
std::vector<std::string> logLines(const std::string& log) {
    std::vector<std::string> out;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        if (out.empty() || out.back() != line || line.rfind("/loop.html ", 0) != 0) out.push_back(line);
    return out;
}

struct Crawler {
    Crawler() : fetcher(nullptr) {
        profile.SetFileTypes("*.html;*.htm;*.pdf;");
        profile.SetUsePageTitles(true);
        fetcher.SetLinkTypes(LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) |
                             LinkBit(ltIFRAME_src));
        fetcher.HttpClient()->Timeouts()->ReceiveTimeout = 1500;
    }
    TMapProfile profile;
    TFileFetcher fetcher;
    TStringList ignoreFolders, ignoreFiles;
    RecordingView view;
    RecordingResults results;
    crawl::TWebsiteCrawl crawl{fetcher, profile, ignoreFolders, ignoreFiles, view, results};
};

const std::string kSlowDirectives = R"(
    location = /error.html { return 500; }
    location = /redir1.html { return 302 /redir2.html; }
    location = /redir2.html { return 301 /sub/e.html; }
    location = /loop.html { return 302 /loop.html; }
    location = /slow.html { default_type text/html; echo_sleep 1; echo '<html><head><title>Slow</title></head><body><a href="after-slow.html">next</a></body></html>'; }
    location = /slower.html { default_type text/html; echo_sleep 60; echo '<html><body><a href="never.html">x</a></body></html>'; }
    location = /stall.html { default_type text/html; echo_sleep 30; echo 'late'; }
)";

TEST(WebsiteCrawl, FetchesTheSiteBreadthFirstOnceEachWithTitlesAndFolders) {
    crawl_test::Site site(kSlowDirectives);
    ASSERT_TRUE(site.Running());
    const std::string root = site.Url("/");
    const std::string p = std::to_string(site.Port());
    const std::string otherPort = std::to_string(crawl_test::FreePort());
    site.Put("/index.html",
             page("Start Page",
                  links({"a.html", "/sub/b.html", "//127.0.0.1:" + p + "/c.html",
                         "http://127.0.0.1:" + p + "/D.HTML", "a.html#frag", "#top",
                         "mailto:someone@example.com", "http://127.0.0.2:" + p + "/other.html",
                         "http://127.0.0.1:" + otherPort + "/x.html", "q.html?session=7", "q.html?page=2"}) +
                      "<a rel=\"nofollow\" href=\"nofollow.html\">nf</a>\n" +
                      links({"dir", "image.png", "notes.txt", "doc.pdf", "c++/plus.html"}) +
                      "<a href='quote\"x.html'>quote</a>\n" +
                      links({"missing.html", "error.html", "redir1.html", "loop.html", "slow.html",
                             "stall.html", "frames.html", "map.html", "base.html", "cp1252.html", "utf8.html",
                             "ignored/skip.html", "skipfile.html"})));
    site.Put("/a.html", page("Page A", links({"sub/b.html", "a2.html"})));
    site.Put("/sub/b.html", page("Page B", links({"../a.html", "deeper/g.html"})));
    site.Put("/dir/index.html", page("Dir", links({"inner.html"})));
    site.Put("/sub/e.html", page("Page E", links({"f.html"})));
    site.Put("/c.html", page("", "no title"));
    site.Put("/image.png", "png");
    site.Put("/notes.txt", "text");
    site.Put("/doc.pdf", "%PDF-1.4\n");
    for (const auto& [path, title] :
         std::vector<std::pair<std::string, std::string>>{{"/a2.html", "Page A2"},
                                                          {"/sub/deeper/g.html", "Page G"},
                                                          {"/D.HTML", "Upper"},
                                                          {"/q.html", "Query"},
                                                          {"/nofollow.html", "NF"},
                                                          {"/other.html", "Other"},
                                                          {"/dir/inner.html", "Inner"},
                                                          {"/c++/plus.html", "Plus"},
                                                          {"/quote\"x.html", "Quote"},
                                                          {"/sub/f.html", "Page F"},
                                                          {"/after-slow.html", "After Slow"},
                                                          {"/f1.html", "Frame 1"},
                                                          {"/sub/f2.html", "Frame 2"},
                                                          {"/if.html", "IFrame"},
                                                          {"/area.html", "Area"},
                                                          {"/sub/deep/x.html", "Deep X"},
                                                          {"/ignored/skip.html", "Skip"},
                                                          {"/skipfile.html", "Skip file"}})
        site.Put(path, page(title, ""));
    site.Put("/frames.html",
             "<html><head><title>Frames</title></head><frameset><frame src=\"f1.html\">"
             "<frame src=\"sub/f2.html\"></frameset><body><iframe src=\"if.html\"></iframe></body></html>");
    site.Put(
        "/map.html",
        page("Map", "<map name=\"m\"><area href=\"area.html\" shape=\"rect\" coords=\"0,0,1,1\"></map>"));
    site.Put("/base.html", page("Base", links({"x.html"}), "<base href=\"/sub/deep/\">"));
    site.Put("/cp1252.html",
             page("Caf\xE9 \x80", "",
                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"));
    site.Put("/utf8.html", page("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "",
                                "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"));

    Crawler c;
    c.profile.FollowQueryParts()->Add("session");
    c.ignoreFolders.Add(site.Url("/ignored/"));
    c.ignoreFiles.Add(site.Url("/skipfile.html"));
    ASSERT_TRUE(c.crawl.CrawlWebsite(root));
    EXPECT_FALSE(c.crawl.Crawling());
    EXPECT_EQ(c.view.lookingIn, root);

    const std::vector<std::string> order = {
        "/", "/a.html", "/sub/b.html", "/c.html", "/D.HTML", "/q.html?page=2", "/dir", "/doc.pdf",
        "/c++/plus.html", "/quote\"x.html", "/missing.html", "/error.html", "/redir1.html", "/loop.html",
        "/slow.html", "/stall.html", "/frames.html", "/map.html", "/base.html", "/cp1252.html", "/utf8.html",
        // the second level
        "/a2.html", "/sub/deeper/g.html", "/dir/inner.html", "/sub/f.html", "/after-slow.html", "/f1.html",
        "/sub/f2.html", "/if.html", "/area.html", "/sub/deep/x.html"};
    std::vector<std::string> expectedFound;
    for (const auto& path : order)
        expectedFound.push_back(site.Url(path));
    EXPECT_EQ(c.view.found, expectedFound);

    // The server saw each page once, in the same order; the stalled page is logged whenever nginx
    // notices the client is gone, so it is left out of the order.
    const std::string expectedLog =
        "/ 200\n/a.html 200\n/sub/b.html 200\n/c.html 200\n/D.HTML 200\n/q.html?page=2 200\n/dir 301\n"
        "/dir/ 200\n/doc.pdf 200\n/c++/plus.html 200\n/quote%22x.html 200\n/missing.html 404\n"
        "/error.html 500\n/redir1.html 302\n/redir2.html 301\n/sub/e.html 200\n/loop.html 302\n"
        "/slow.html 200\n/frames.html 200\n/map.html 200\n/base.html 200\n/cp1252.html 200\n"
        "/utf8.html 200\n/a2.html 200\n/sub/deeper/g.html 200\n/dir/inner.html 200\n/sub/f.html 200\n"
        "/after-slow.html 200\n/f1.html 200\n/sub/f2.html 200\n/if.html 200\n/area.html 200\n"
        "/sub/deep/x.html 200\n";
    // nginx writes a line once the response has gone, so the last ones may still be on their way; the
    // stalled page's lines, however many, are left out.
    const auto expectedLines = static_cast<size_t>(std::count(expectedLog.begin(), expectedLog.end(), '\n'));
    std::string log;
    for (int waited = 0; waited < 60000; waited += 10) {
        log.clear();
        for (const auto& line : logLines(site.AccessLog()))
            if (line.rfind("/stall.html ", 0) != 0) log += line + "\n";
        if (static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >= expectedLines) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(log, expectedLog);

    // Loaded: everything but the 404, the 500, the redirect loop and the stalled page.
    const int loaded = static_cast<int>(order.size()) - 4;
    EXPECT_EQ(c.crawl.FileCount(), loaded);
    EXPECT_EQ(c.crawl.UrlCount(), static_cast<int>(order.size()));
    EXPECT_EQ(c.view.totalFiles, "Total Files Found: " + std::to_string(loaded));
    ASSERT_EQ(static_cast<int>(c.results.pages.size()), loaded);

    const CrawledPage& home = c.results.pages.front();
    EXPECT_EQ(home.URL + home.Folder + home.Shown + home.Referrer, root + root + "Start Page");
    struct Expected {
        std::string path, shown, folder;
    };
    for (const Expected& e :
         std::vector<Expected>{{"/a.html", "Page A", "/"},
                               {"/sub/b.html", "Page B", "/sub/"},
                               {"/sub/deeper/g.html", "Page G", "/sub/deeper/"},
                               {"/c.html", site.Url("/c.html"), "/"},
                               {"/D.HTML", "Upper", "/"},
                               {"/doc.pdf", site.Url("/doc.pdf"), "/"},
                               {"/c++/plus.html", "Plus", "/c++/"},
                               {"/quote\"x.html", "Quote", "/"},
                               {"/redir1.html", "Page E", "/"},
                               {"/dir/inner.html", "Inner", "/dir/"},
                               {"/sub/deep/x.html", "Deep X", "/sub/deep/"},
                               {"/cp1252.html", "Caf\xC3\xA9 \xE2\x82\xAC", "/"},
                               {"/utf8.html", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "/"}}) {
        const CrawledPage* found = c.results.Find(site.Url(e.path));
        ASSERT_NE(found, nullptr) << e.path;
        EXPECT_EQ(found->Shown + " in " + found->Folder, e.shown + " in " + site.Url(e.folder));
    }
    EXPECT_EQ(c.results.Find(site.Url("/a.html"))->Referrer, root);
    EXPECT_EQ(c.results.Find(site.Url("/a2.html"))->Referrer, site.Url("/a.html"));
}

TEST(WebsiteCrawl, StartPageThatFailsIsReportedWithItsResponse) {
    crawl_test::Site site;
    ASSERT_TRUE(site.Running());
    Crawler c;
    EXPECT_FALSE(c.crawl.CrawlWebsite(site.Url("/nothing-here.html")));
    EXPECT_EQ(c.crawl.StartResponse(), 404);
    EXPECT_EQ(c.crawl.FileCount(), 0);
    EXPECT_EQ(c.view.totalFiles, "Total Files Found: 0");
    EXPECT_TRUE(c.results.pages.empty());
    ASSERT_EQ(c.view.memo.size(), 1u);
    EXPECT_NE(c.view.memo[0].find("404"), std::string::npos) << c.view.memo[0];
    EXPECT_NE(c.view.memo[0].find("/nothing-here.html"), std::string::npos) << c.view.memo[0];

    // Nobody listening: the crawl ends as well, with the failure in the memo.
    Crawler closed;
    EXPECT_FALSE(
        closed.crawl.CrawlWebsite("http://127.0.0.1:" + std::to_string(crawl_test::FreePort()) + "/"));
    EXPECT_NE(closed.crawl.StartResponse(), 200);
    EXPECT_EQ(closed.view.totalFiles, "Total Files Found: 0");
    EXPECT_EQ(closed.view.memo.size(), 1u);
}

crawl::TWebsiteCrawl* cancelTarget = nullptr;

std::chrono::steady_clock::time_point cancelledAt;

void cancelTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    cancelledAt = std::chrono::steady_clock::now();
    if (cancelTarget) cancelTarget->Cancel();
}

TEST(WebsiteCrawl, CancelDuringASlowPageReturnsPromptlyWithTheTreeSoFar) {
    crawl_test::Site site(kSlowDirectives);
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", page("Start", links({"a.html", "slower.html", "b.html"})));
    site.Put("/a.html", page("Page A", links({"b.html"})));
    site.Put("/b.html", page("Page B", ""));

    Crawler c;
    cancelTarget = &c.crawl;
    c.view.OnFileFound = [&](const std::string& url) {
        if (url.find("slower") != std::string::npos) SetTimer(nullptr, 0, 300, cancelTimer);
    };
    c.crawl.CrawlWebsite(site.Url("/"));
    const auto returned = std::chrono::steady_clock::now();
    cancelTarget = nullptr;
    // The slow page takes a minute to come.
    EXPECT_LT(returned - cancelledAt, std::chrono::seconds(10));
    EXPECT_TRUE(c.crawl.CancelRequested());
    EXPECT_FALSE(c.crawl.Crawling());
    // The label is left as it was; the tree holds the pages before the slow one.
    EXPECT_EQ(c.view.totalFiles, "");
    ASSERT_EQ(c.results.pages.size(), 2u);
    EXPECT_EQ(c.results.pages[1].URL, site.Url("/a.html"));
    EXPECT_EQ(c.view.found.back(), site.Url("/slower.html"));

    // The fetcher is free for the next crawl; a cancel between two pages fetches no more.
    c.results.pages.clear();
    c.view.OnFileFound = [&](const std::string& url) {
        if (url.find("b.html") != std::string::npos) c.crawl.Cancel();
    };
    c.crawl.CrawlWebsite(site.Url("/b.html"));
    EXPECT_TRUE(c.results.pages.empty());
    EXPECT_EQ(site.AccessLog().find("/b.html"), std::string::npos);
    // The next crawl starts afresh, here without page titles: the addresses are shown.
    c.view.OnFileFound = nullptr;
    c.profile.SetUsePageTitles(false);
    ASSERT_TRUE(c.crawl.CrawlWebsite(site.Url("/a.html")));
    ASSERT_EQ(c.results.pages.size(), 2u);
    EXPECT_EQ(c.results.pages[0].Shown, "Home");
    EXPECT_EQ(c.results.pages[1].Shown, site.Url("/b.html"));
    EXPECT_EQ(c.crawl.UrlCount(), 2);
    EXPECT_EQ(c.view.totalFiles, "Total Files Found: 2");
}

TEST(WebsiteCrawl, FailureInsideAFetchIsLoggedAndTheCrawlGoesOn) {
    crawl_test::Site site;
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", page("Start", links({"a.html", "b.html", "c.html"})));
    for (const char* name : {"/a.html", "/b.html", "/c.html"})
        site.Put(name, page(name + 1, ""));

    Crawler c;
    c.fetcher.OnStatusMessage = [](TObject*, const std::string& message) {
        if (message.find("b.html") != std::string::npos) throw Exception("status handler failed");
    };
    ASSERT_TRUE(c.crawl.CrawlWebsite(site.Url("/")));
    EXPECT_EQ(c.crawl.UrlCount(), 4);
    EXPECT_EQ(c.crawl.FileCount(), 3);
    ASSERT_EQ(c.results.pages.size(), 3u);
    EXPECT_EQ(c.results.pages[2].URL, site.Url("/c.html"));
    EXPECT_TRUE(std::any_of(c.view.memo.begin(), c.view.memo.end(), [](const std::string& line) {
        return line.find("b.html") != std::string::npos &&
               line.find("status handler failed") != std::string::npos;
    }));
}

TEST(WebsiteCrawl, MemoIsEmptiedOnceItHoldsMoreThanTwoHundredLines) {
    Crawler c;
    for (int i = 1; i <= 201; ++i)
        c.crawl.LogUrl("line " + std::to_string(i));
    EXPECT_EQ(c.view.memo.size(), 201u);
    EXPECT_EQ(c.view.memoClears, 0);
    c.crawl.LogUrl("line 202");
    EXPECT_EQ(c.view.memoClears, 1);
    EXPECT_EQ(c.view.memo, std::vector<std::string>{"line 202"});
}

} // namespace
