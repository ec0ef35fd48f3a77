#include "app/core/map_profile.h"
#include "app/crawl/crawl_view.h"
#include "app/crawl/website_crawl.h"
#include "crawl_test_support.h"
#include "fetch/file_fetcher.h"
#include "fetch/http/http_settings.h"
#include "fetch/http/win_http.h"
#include "platform/gui/message_loop.h"
#include "platform/net/wininet.h"
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
    void ShowNotice(const std::string& s) override {
        EXPECT_TRUE(!memo.empty() && memo.back() == s) << "a notice is in the memo too: " << s;
        notices.push_back(s);
    }

    std::string lookingIn, fileCount, totalFiles;
    std::vector<std::string> found, memo, notices;
    int memoClears = 0;
    std::function<void(const std::string&)> OnFileFound;
};

class RecordingResults : public crawl::CrawlResults {
public:
    void AddRootNode(const CrawledPage& p) override {
        EXPECT_TRUE(pages.empty()) << "the root comes first";
        pages.push_back(p);
    }
    int AddPageNode(const CrawledPage& p, int) override {
        EXPECT_FALSE(pages.empty()) << "a page before the root";
        pages.push_back(p);
        if (OnPage) OnPage(p);
        return 0;
    }
    std::function<void(const CrawledPage&)> OnPage;
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

std::vector<std::string> logLines(const std::string& log) {
    std::vector<std::string> out;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        out.push_back(line);
    return out;
}

// The log once it has at least as many lines as expected (nginx writes a line after its response).
std::string logOf(const testsupport::NginxPeer& site, const std::string& expected) {
    return site.AccessLog(static_cast<size_t>(std::count(expected.begin(), expected.end(), '\n')));
}

std::vector<std::string> urls(const std::vector<CrawledPage>& pages) {
    std::vector<std::string> out;
    for (const CrawledPage& p : pages)
        out.push_back(p.URL);
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
    const crawl_test::ClosedPort closedPort;
    const std::string otherPort = std::to_string(closedPort.Port());
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
                             "private/p.html", "ignored/skip.html", "skipfile.html", "skip2.html"})));
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
                                                          {"/skipfile.html", "Skip file"},
                                                          {"/private/p.html", "Private"},
                                                          {"/skip2.html", "Skip file 2"}})
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
    // Two entries in each list: the first and the last entry each keep a linked page out.
    c.ignoreFolders.Add(site.Url("/private/"));
    c.ignoreFolders.Add(site.Url("/ignored/"));
    c.ignoreFiles.Add(site.Url("/skipfile.html"));
    c.ignoreFiles.Add(site.Url("/skip2.html"));
    bool fetchedAhead = false;
    c.results.OnPage = [&](const CrawledPage& p) {
        if (p.URL != site.Url("/a.html")) return;
        // The next queued page is on its way while this one is still being worked on.
        fetchedAhead = static_cast<bool>(gui_test::PumpUntil(
            [&] { return site.AccessLog().find("/sub/b.html 200") != std::string::npos; }, 10000));
    };
    ASSERT_TRUE(c.crawl.CrawlWebsite(root));
    EXPECT_TRUE(fetchedAhead);
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

    // The server saw each page once, in the order of a crawl that fetches one page at a time; the stalled
    // page is logged whenever nginx notices the client is gone, so it is left out of the order.
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
                               {"/sub/e.html", "Page E", "/sub/"},
                               {"/dir/inner.html", "Inner", "/dir/"},
                               {"/sub/deep/x.html", "Deep X", "/sub/deep/"},
                               {"/cp1252.html", "Caf\xC3\xA9 \xE2\x82\xAC", "/"},
                               {"/utf8.html", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "/"}}) {
        const CrawledPage* found = c.results.Find(site.Url(e.path));
        ASSERT_NE(found, nullptr) << e.path;
        EXPECT_EQ(found->Shown + " in " + found->Folder, e.shown + " in " + site.Url(e.folder));
    }
    // Redirected pages are there by the address they were taken from.
    EXPECT_EQ(c.results.Find(site.Url("/redir1.html")), nullptr);
    EXPECT_EQ(c.results.Find(site.Url("/dir")), nullptr);
    ASSERT_NE(c.results.Find(site.Url("/dir/")), nullptr);
    EXPECT_EQ(c.results.Find(site.Url("/a.html"))->Referrer, root);
    EXPECT_EQ(c.results.Find(site.Url("/a2.html"))->Referrer, site.Url("/a.html"));
}

TEST(WebsiteCrawl, RedirectsAreFollowedInPlaceOnceAndPagesKeptByTheAddressTheyCameFrom) {
    crawl_test::Site site(R"(
    location = /again.html { return 301 /a.html; }
    location = /to-queued.html { return 302 /c.html; }
    location = /away.html { return 302 http://127.0.0.2:$server_port/elsewhere.html; }
    location = /to-image.html { return 302 /image.png; }
    location = /chain1.html { return 302 /chain2.html; }
    location = /chain2.html { return 302 /chain3.html; }
    location = /chain3.html { return 302 /sub/e.html; }
    location = /l1.html { return 302 /l2.html; }
    location = /l2.html { return 302 /l1.html; }
    location ~ ^/hop(x*)\.html$ { return 302 /hop$1x.html; }
)");
    ASSERT_TRUE(site.Running());
    site.Put("/index.html",
             page("Home", links({"a.html", "to-queued.html", "again.html", "c.html", "away.html",
                                 "to-image.html", "chain1.html", "dir", "l1.html", "hop.html"})));
    site.Put("/a.html", page("A", links({"c.html"})));
    site.Put("/c.html", page("C", ""));
    site.Put("/sub/e.html", page("E", ""));
    // Once /dir has been sent to /dir/, links to either are links to a page fetched.
    site.Put("/dir/index.html", page("Dir", links({"inner.html", "/dir", "/dir/"})));
    site.Put("/dir/inner.html", page("Inner", links({"/dir", "./"})));
    site.Put("/elsewhere.html", page("Elsewhere", ""));
    site.Put("/image.png", "png");

    Crawler c;
    // The transfers the worker went on to by itself, without a turn of the crawl's thread.
    std::vector<std::string> chained;
    TWinHTTP& http = *c.fetcher.HttpClient();
    http.OnChained = [&chained, heard = http.OnChained](TObject* Sender, const std::string& URL) {
        chained.push_back(URL.substr(URL.rfind('/')));
        heard(Sender, URL);
    };
    ASSERT_TRUE(c.crawl.CrawlWebsite(site.Url("/")));
    // Past pages and redirects to a known address, off the site or to a file not wanted the worker goes on
    // by itself; an unknown target waits for the crawl, which fetches it first.
    EXPECT_EQ(chained, (std::vector<std::string>{"/again.html", "/c.html", "/away.html", "/to-image.html",
                                                 "/chain1.html"}));
    // A redirect to an address already fetched or queued, off the site or to a file not wanted costs no
    // request; an unknown one is fetched at once; a loop ends where it comes back, a chain after 20.
    std::string expected =
        "/ 200\n/a.html 200\n/to-queued.html 302\n/again.html 301\n/c.html 200\n/away.html 302\n"
        "/to-image.html 302\n/chain1.html 302\n/chain2.html 302\n/chain3.html 302\n"
        "/sub/e.html 200\n/dir 301\n/dir/ 200\n/l1.html 302\n/l2.html 302\n/hop.html 302\n";
    for (int hop = 1; hop <= 20; ++hop)
        expected += "/hop" + std::string(static_cast<size_t>(hop), 'x') + ".html 302\n";
    expected += "/dir/inner.html 200\n";
    EXPECT_EQ(logOf(site, expected), expected);
    EXPECT_EQ(
        urls(c.results.pages),
        (std::vector<std::string>{site.Url("/"), site.Url("/a.html"), site.Url("/c.html"),
                                  site.Url("/sub/e.html"), site.Url("/dir/"), site.Url("/dir/inner.html")}));
    EXPECT_EQ(c.crawl.FileCount(), 6);
    EXPECT_EQ(c.crawl.UrlCount(), 12);
}

TEST(WebsiteCrawl, AStartSentToHttpsOnAnotherPortMakesThatTheSite) {
    testsupport::NginxOptions options;
    options.tls = true;
    options.logFormat = "$request_uri $status";
    options.http = "  types { text/html html; }\n";
    testsupport::NginxPeer secure(options);
    ASSERT_TRUE(secure.Running());
    const std::string s = std::to_string(secure.Port());
    crawl_test::Site plain("    location / { return 301 https://127.0.0.1:" + s + "$request_uri; }\n");
    ASSERT_TRUE(plain.Running());
    // Links to the same port with the other scheme or in capitals are the same pages; the port that
    // sent us here is another site.
    secure.Put("/index.html",
               page("Secure", links({"a.html", "http://127.0.0.1:" + s + "/b.html",
                                     "HTTPS://127.0.0.1:" + s + "/c.html", plain.Url("/d.html")})));
    secure.Put("/a.html", page("A", links({"https://127.0.0.1:" + s + "/b.html", "c.html"})));
    for (const char* name : {"/b.html", "/c.html", "/d.html"})
        secure.Put(name, page(name + 1, ""));

    InternetSetCaBundle(secure.CaFile());
    Crawler c;
    const bool loaded = c.crawl.CrawlWebsite(plain.Url("/"));
    InternetSetCaBundle("");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(c.crawl.SiteBase(), secure.Url("/"));
    EXPECT_EQ(c.results.pages.front().Folder, secure.Url("/"));
    EXPECT_EQ(urls(c.results.pages),
              (std::vector<std::string>{secure.Url("/"), secure.Url("/a.html"), secure.Url("/b.html"),
                                        secure.Url("/c.html")}));
    EXPECT_EQ(logOf(plain, "/ 301\n"), "/ 301\n");
    const std::string expected = "/ 200\n/a.html 200\n/b.html 200\n/c.html 200\n";
    EXPECT_EQ(logOf(secure, expected), expected);
}

TEST(WebsiteCrawl, AStartPageThatFailsSaysWhyAndNeverShowsAPassword) {
    crawl_test::Site site("    location = /loop.html { return 302 /loop.html; }\n");
    ASSERT_TRUE(site.Running());
    site.Put("/image.png", "png");
    testsupport::NginxOptions options;
    options.tls = true;
    testsupport::NginxPeer untrusted(options);
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(untrusted.Running() && faults.Running());
    const std::string faultHost = "127.0.0.1:" + std::to_string(faults.Port());
    const crawl_test::ClosedPort nobody;
    struct Case {
        std::string start, shown, reason;
        // Long enough for a busy machine to send 32 MiB without a pause that long: that page must be
        // refused for its size, never for its pace.
        uint32_t receiveTimeout = 1500;
    };
    for (const Case& c : std::vector<Case>{
             {nobody.Url(), "", "the connection was refused"},
             {site.Url("/nothing-here.html"), "", "the page was not found (404: Not Found)"},
             {faults.Url("/slow-headers?s=20"), "", "the server did not answer in time"},
             {faults.Url("/endless"), "", "the page is too large (over 32 MiB)", 30000},
             {faults.Url("/many-headers"), "",
              "the server's answer is too large (its header is over 256 KiB)"},
             {untrusted.Url("/"), "", "the server's certificate was not accepted"},
             {site.Url("/loop.html"), "", "it redirects in a loop"},
             {site.Url("/image.png"), "", "it is not a page (image/png)"},
             {"http://user:wrong@" + faultHost + "/auth", "http://user:***@" + faultHost + "/auth",
              "access was refused (401: Unauthorized)"}}) {
        Crawler crawler;
        crawler.fetcher.HttpClient()->Timeouts()->ReceiveTimeout = c.receiveTimeout;
        EXPECT_FALSE(crawler.crawl.CrawlWebsite(c.start)) << c.start;
        const std::string message = "The start page " + (c.shown.empty() ? c.start : c.shown) +
                                    " could not be loaded: " + c.reason + ".";
        EXPECT_EQ(crawler.crawl.StartFailure(), message);
        EXPECT_EQ(crawler.view.memo, std::vector<std::string>{message});
        EXPECT_EQ(crawler.view.totalFiles, "Total Files Found: 0");
        EXPECT_TRUE(crawler.results.pages.empty());
    }

    // The password goes to the site it was given for and nowhere else: not in what the crawl shows or
    // records.
    Crawler c;
    ASSERT_TRUE(c.crawl.CrawlWebsite("http://user:secret@" + faultHost + "/auth"));
    EXPECT_EQ(c.crawl.StartFailure(), "");
    EXPECT_EQ(c.view.lookingIn, "http://user:***@" + faultHost + "/auth");
    std::string everything = c.view.lookingIn + c.view.fileCount + c.view.totalFiles;
    for (const auto& list : {c.view.found, c.view.memo})
        for (const std::string& line : list)
            everything += line;
    for (const CrawledPage& p : c.results.pages)
        everything += p.URL + p.Folder + p.Text + p.Shown + p.Referrer;
    EXPECT_EQ(everything.find("secret"), std::string::npos) << everything;
    ASSERT_EQ(urls(c.results.pages), std::vector<std::string>{"http://" + faultHost + "/auth"});
}

TEST(WebsiteCrawl, DrippingPagesAreGivenUpAndTheCrawlGoesOn) {
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    Crawler c;
    c.fetcher.HttpClient()->Timeouts()->ReceiveTimeout = 1000;
    c.fetcher.HttpClient()->Timeouts()->TotalTimeout = 4000;
    // A byte every fifth of a second never stalls; 1,000 bytes a second is fast enough, for 1,000 s.
    const std::string start = faults.Url("/links.html?to=/drip.html%3Fn%3D100000%26d%3D0.2"
                                         "&to=/drip.html%3Fn%3D1000000%26b%3D100%26d%3D0.1&to=/dir/");
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(c.crawl.CrawlWebsite(start));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(60));
    EXPECT_EQ(urls(c.results.pages), (std::vector<std::string>{start, faults.Url("/dir/")}));
    // The start, both dripping pages, the folder and its missing page.
    EXPECT_EQ(c.crawl.UrlCount(), 5);
}

crawl::TWebsiteCrawl* cancelTarget = nullptr;

std::chrono::steady_clock::time_point cancelledAt;

void cancelTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    cancelledAt = std::chrono::steady_clock::now();
    if (cancelTarget) cancelTarget->Cancel();
}

TEST(WebsiteCrawl, CancelStopsTheRequestInFlightAtOnceAndKeepsTheTreeSoFar) {
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
    // The slow page, requested while the page before it was parsed, takes a minute to come: the crawl ends
    // long before.
    EXPECT_LT(returned - cancelledAt, std::chrono::seconds(30));
    EXPECT_TRUE(c.crawl.CancelRequested());
    EXPECT_FALSE(c.crawl.Crawling());
    // The label is left as it was; the tree holds the pages before the slow one.
    EXPECT_EQ(c.view.totalFiles, "");
    ASSERT_EQ(c.results.pages.size(), 2u);
    EXPECT_EQ(c.results.pages[1].URL, site.Url("/a.html"));
    EXPECT_EQ(c.view.found.back(), site.Url("/slower.html"));

    // Cancelled while a page is worked on and the slow one is already on its way: that request ends at
    // once too.
    Crawler d;
    std::chrono::steady_clock::time_point at;
    d.results.OnPage = [&](const CrawledPage& p) {
        if (p.URL != site.Url("/a.html")) return;
        EXPECT_EQ(d.fetcher.AheadURL(), site.Url("/slower.html"));
        at = std::chrono::steady_clock::now();
        d.crawl.Cancel();
    };
    d.crawl.CrawlWebsite(site.Url("/"));
    EXPECT_LT(std::chrono::steady_clock::now() - at, std::chrono::seconds(30));
    EXPECT_FALSE(d.fetcher.HttpClient()->Busy());
    EXPECT_EQ(d.results.pages.size(), 2u);

    // The fetcher is free for the next crawl; a cancel between two pages fetches no more (here, and above:
    // b.html was queued in both crawls).
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

// A page over the size limit is left out with a word on why, as the start page would be; the crawl goes on.
TEST(WebsiteCrawl, ALinkedPageTooLargeIsNamedWithWhyAndTheCrawlGoesOn) {
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    Crawler c;
    // Refused for its size, never given up for its pace on a busy machine.
    c.fetcher.HttpClient()->Timeouts()->ReceiveTimeout = 30000;
    const std::string start = faults.Url("/links.html?to=/endless.html&to=/dir/");
    ASSERT_TRUE(c.crawl.CrawlWebsite(start));
    EXPECT_EQ(urls(c.results.pages), (std::vector<std::string>{start, faults.Url("/dir/")}));
    const std::string said =
        "The page " + faults.Url("/endless.html") + " was left out: the page is too large (over 32 MiB).";
    EXPECT_EQ(c.view.notices, std::vector<std::string>{said});
    EXPECT_EQ(c.crawl.StartFailure(), "");
}

// Answers whose headers never end (interim answers, trailers) or whose lengths differ fail their pages
// soon, as a header too large does; the crawl goes on.
TEST(WebsiteCrawl, AnswersWithoutEndOrWithTwoLengthsAreLeftOutAndTheCrawlGoesOn) {
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    Crawler c;
    c.fetcher.HttpClient()->Timeouts()->ReceiveTimeout = 30000;
    // Each of the first two sends 100 MB of headers unless stopped.
    const std::string start = faults.Url("/links.html?to=/endless-interim.html&to=/endless-trailers.html"
                                         "&to=/two-lengths.html&to=/dir/");
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(c.crawl.CrawlWebsite(start));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));
    EXPECT_EQ(urls(c.results.pages), (std::vector<std::string>{start, faults.Url("/dir/")}));
    EXPECT_EQ(c.crawl.UrlCount(), 6);
}

// A site whose every page links to new pages: the crawl keeps no more addresses than its limit, fetches
// those it has, and says that the site map lists only them.
TEST(WebsiteCrawl, ATrapSiteStopsAtTheLimitOfAddressesAndTheCrawlSaysSo) {
    PeerProcess& faults = gui_test::FaultServer();
    ASSERT_TRUE(faults.Running());
    Crawler c;
    EXPECT_EQ(c.crawl.Queue().Limit(), 1000000);
    c.crawl.Queue().SetLimit(1234);
    // Page n links to pages 10n+1 to 10n+10: 1,234 addresses are known once page 123 is read, and only
    // those are fetched.
    const std::string start = faults.Url("/trap/10/0.html");
    ASSERT_TRUE(c.crawl.CrawlWebsite(start));
    EXPECT_EQ(c.crawl.Queue().KnownCount(), 1234);
    EXPECT_EQ(c.crawl.Queue().Count(), 0) << "every address taken is fetched";
    EXPECT_EQ(c.crawl.UrlCount(), 1234);
    ASSERT_EQ(c.results.pages.size(), 1234u);
    EXPECT_EQ(c.results.pages.back().URL, faults.Url("/trap/10/1233.html"));
    const std::string said =
        "the site has more than 1,234 addresses and folders; the site map lists only part of it";
    EXPECT_EQ(c.view.notices, std::vector<std::string>{said});
    EXPECT_EQ(c.view.memo.back(), said) << "said last, where the log shows it";
    EXPECT_EQ(c.view.totalFiles, "Total Files Found: 1234");
    EXPECT_EQ(c.fetcher.LinkTypes(),
              LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) | LinkBit(ltIFRAME_src))
        << "the fetcher is given back as it was";

    // Filled up by the last link of page 10, the queue is told of more by page 11.
    Crawler full;
    full.crawl.Queue().SetLimit(111);
    ASSERT_TRUE(full.crawl.CrawlWebsite(faults.Url("/trap/10/0.html")));
    EXPECT_EQ(full.crawl.UrlCount(), 111);
    EXPECT_EQ(full.view.notices.size(), 1u);
    // A site of exactly as many addresses as the limit is whole: nothing to say.
    Crawler exact;
    exact.crawl.Queue().SetLimit(3);
    ASSERT_TRUE(exact.crawl.CrawlWebsite(faults.Url("/links.html?to=/dir/&to=/dir/")));
    EXPECT_EQ(exact.crawl.UrlCount(), 3) << "the start, the folder and its missing page";
    EXPECT_TRUE(exact.view.notices.empty());
}

// The options window is greyed while a crawl runs; were the options changed all the same (a script, a
// later window), the crawl goes on with those it started with, on its own thread and on the worker that
// judges redirects. Under the thread sanitizer, a worker that read the profile or the ignore lists while
// they change here is a reported race.
TEST(WebsiteCrawl, ALinkRefusedOnEveryPageOfOneCrawlIsTakenByTheNextOnceTheOptionsAllowIt) {
    crawl_test::Site site;
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", page("Home", links({"a.html", "b.html", "c.txt"})));
    site.Put("/a.html", page("A", links({"b.html", "c.txt"})));
    site.Put("/b.html", page("B", links({"c.txt"})));
    site.Put("/c.txt", "text");
    Crawler c;
    c.ignoreFiles.Add(site.Url("/b.html"));
    ASSERT_TRUE(c.crawl.CrawlWebsite(site.Url("/")));
    EXPECT_EQ(urls(c.results.pages), (std::vector<std::string>{site.Url("/"), site.Url("/a.html")}));

    c.results.pages.clear();
    c.ignoreFiles.Clear();
    c.profile.SetFileTypes("*.html;*.txt;");
    ASSERT_TRUE(c.crawl.CrawlWebsite(site.Url("/")));
    EXPECT_EQ(urls(c.results.pages), (std::vector<std::string>{site.Url("/"), site.Url("/a.html"),
                                                               site.Url("/b.html"), site.Url("/c.txt")}));
}

TEST(WebsiteCrawl, TheOptionsAsTheCrawlStartedHoldUntilItEndsOnEveryThread) {
    crawl_test::Site site("    location /r/ { rewrite ^/r(/.*)$ $1 permanent; }\n");
    ASSERT_TRUE(site.Running());
    std::string index;
    for (int i = 1; i <= 24; ++i) {
        const std::string n = std::to_string(i);
        // Redirects the worker judges by itself: to an ignored folder, an ignored file, a type not wanted,
        // a wanted file, and a page linked later on (known by then or not).
        index += links({"p" + n + ".html", "r/ignored/i" + n + ".html", "r/skip" + n + ".html",
                        "r/t" + n + ".txt", "r/d" + n + ".pdf", "r/p" + std::to_string(i + 2) + ".html"});
        site.Put("/p" + n + ".html", page("P" + n, links({"ignored/j" + n + ".html", "skip" + n + ".html"})));
        site.Put("/ignored/i" + n + ".html", page("I", ""));
        site.Put("/ignored/j" + n + ".html", page("J", ""));
        site.Put("/skip" + n + ".html", page("S", ""));
        site.Put("/t" + n + ".txt", "text");
        site.Put("/d" + n + ".pdf", "%PDF-1.4\n");
    }
    site.Put("/p25.html", page("P25", ""));
    site.Put("/p26.html", page("P26", ""));
    site.Put("/index.html", page("Home", index));

    const auto setUp = [&](Crawler& c) {
        c.ignoreFolders.Add(site.Url("/ignored/"));
        for (int i = 1; i <= 26; ++i)
            c.ignoreFiles.Add(site.Url("/skip" + std::to_string(i) + ".html"));
    };
    // The requests of a crawl, in order: those logged before a request of the test's own after it.
    size_t logged = 0;
    const auto requestsOf = [&](Crawler& c, const std::string& mark) {
        c.fetcher.Fetch(site.Url(mark));
        std::string log;
        for (size_t lines = 1; log.find(mark + " ") == std::string::npos; ++lines)
            log = site.AccessLog(lines);
        const size_t end = log.find("\n" + mark + " ") + 1;
        std::string requests = log.substr(logged, end - logged);
        logged = log.find('\n', end) + 1;
        return requests;
    };
    Crawler before;
    setUp(before);
    ASSERT_TRUE(before.crawl.CrawlWebsite(site.Url("/")));
    const std::string requests = requestsOf(before, "/mark1.html");
    ASSERT_GT(before.results.pages.size(), 40u);

    Crawler changed;
    setUp(changed);
    int turn = 0;
    const auto change = [&] {
        // Every other page the lists are emptied, then filled with what would keep every page out.
        ++turn;
        changed.profile.SetFileTypes(turn % 2 ? "*.txt;" : "*.png;");
        changed.profile.SetUsePageTitles(turn % 2 == 0);
        changed.ignoreFolders.Clear();
        changed.ignoreFiles.Clear();
        if (turn % 2 == 0) {
            changed.ignoreFolders.Add(site.Url("/"));
            for (int i = 1; i <= 26; ++i)
                changed.ignoreFiles.Add(site.Url("/p" + std::to_string(i) + ".html"));
        }
    };
    changed.results.OnPage = [&](const CrawledPage&) { change(); };
    changed.view.OnFileFound = [&](const std::string&) { change(); };
    ASSERT_TRUE(changed.crawl.CrawlWebsite(site.Url("/")));
    EXPECT_GT(turn, 40);
    EXPECT_EQ(requestsOf(changed, "/mark2.html"), requests) << "the same requests in the same order";
    ASSERT_EQ(changed.results.pages.size(), before.results.pages.size());
    for (size_t i = 0; i < before.results.pages.size(); ++i) {
        EXPECT_EQ(changed.results.pages[i].URL, before.results.pages[i].URL);
        EXPECT_EQ(changed.results.pages[i].Text, before.results.pages[i].Text) << "titles as at the start";
    }
    EXPECT_EQ(changed.crawl.UrlCount(), before.crawl.UrlCount());
}

} // namespace
