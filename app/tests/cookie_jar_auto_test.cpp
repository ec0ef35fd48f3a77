// The cookies a crawled site sets, as the built program run by cron sends them back: nginx on loopback
// logs what each request carried. Names under .localhost are loopback names to the network library.
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "main_form_fixture.h"
#include "tests/support/nginx_peer.h"
#include "unattended_crawl.h"

namespace app_test {
namespace {

constexpr int kCookiesAPage = 49;

// /f/pN.html sets kNc0..kNc48, each for the next of `domains` in turn (for its host when none is given),
// and sets the host's sid to N again, for the folder /f that it names by the page's address alone.
std::string FloodingPages(const std::vector<std::string>& domains) {
    std::string server = "    location ~ ^/f/p(?<page>[0-9]+)[.]html$ {\n";
    for (int i = 0; i < kCookiesAPage; ++i) {
        const std::string domain = domains.empty() ? "" : "; Domain=" + domains[i % domains.size()];
        server +=
            "        add_header Set-Cookie \"k${page}c" + std::to_string(i) + "=v; Path=/" + domain + "\";\n";
    }
    return server + "        add_header Set-Cookie \"sid=${page}\";\n    }\n";
}

// Pages at the paths, each linking to the next.
void PutChain(const testsupport::NginxPeer& nginx, const std::vector<std::string>& paths) {
    for (size_t i = 0; i < paths.size(); ++i)
        nginx.Put(paths[i], "<html><head><title>Page " + paths[i] + "</title></head><body>" +
                                (i + 1 < paths.size() ? "<a href=\"" + paths[i + 1] + "\">next</a>" : "") +
                                "</body></html>");
}

// A request as nginx logged it ("$request_uri $http_cookie"): the address and the cookies it carried.
struct Request {
    std::string uri;
    std::set<std::string> cookies; // name=value
};

std::vector<Request> Requests(const std::string& log) {
    std::vector<Request> requests;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        Request& r = requests.emplace_back();
        const size_t space = line.find(' ');
        r.uri = line.substr(0, space);
        std::istringstream cookies(space == std::string::npos ? "" : line.substr(space + 1));
        for (std::string cookie; std::getline(cookies, cookie, ';');) {
            cookie.erase(0, cookie.find_first_not_of(' '));
            if (!cookie.empty() && cookie != "-") r.cookies.insert(cookie);
        }
    }
    return requests;
}

// Of the cookies /f/pN.html set, those the request did not carry.
std::string Missing(const Request& request, int page) {
    std::string missing;
    std::vector<std::string> set{"sid=" + std::to_string(page)};
    for (int i = 0; i < kCookiesAPage; ++i)
        set.push_back("k" + std::to_string(page) + "c" + std::to_string(i) + "=v");
    for (const std::string& cookie : set)
        if (!request.cookies.contains(cookie)) missing += " " + cookie;
    return missing;
}

using CookieJarAutoTest = MainFormTest;

// Each page sets 49 cookies for the parent domains of its host in turn: a request carries those of every
// parent, so they count together against the most one request sends, and each request carries all the
// newest. Before them, cookies of the host's sid name were set for a parent domain and for another path:
// the session cookie set again on each page is not those, which go as the oldest they are.
TEST_F(CookieJarAutoTest, CookiesSetForTheHostsParentDomainsCountTogetherAndTheNewestGoOut) {
    const std::vector<std::string> parents{"h1.h2.h3.h4.h5.localhost", "h2.h3.h4.h5.localhost",
                                           "h3.h4.h5.localhost", "h4.h5.localhost", "h5.localhost"};
    testsupport::NginxOptions options;
    options.logFormat = "$request_uri $http_cookie";
    options.server = "    location = /f/start.html {\n"
                     "        add_header Set-Cookie \"sid=parent; Path=/f; Domain=h3.h4.h5.localhost\";\n"
                     "        add_header Set-Cookie \"sid=aside; Path=/f/aside\";\n    }\n" +
                     FloodingPages(parents);
    testsupport::NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    constexpr int kPages = 8;
    std::vector<std::string> chain{"/f/start.html"};
    for (int page = 1; page <= kPages; ++page)
        chain.push_back("/f/p" + std::to_string(page) + ".html");
    chain.push_back("/f/aside/end.html");
    PutChain(nginx, chain);

    const Crawl crawl = RunCrawl(dir_, config_, nginx.Url("/f/start.html", "www." + parents.front()), "");
    ASSERT_EQ(crawl.status, 0) << crawl.output;
    EXPECT_NE(ReadFile(crawl.map).find("/f/aside/end.html"), std::string::npos);
    const std::vector<Request> requests = Requests(nginx.AccessLog(chain.size()));
    ASSERT_EQ(requests.size(), chain.size()) << nginx.AccessLog();
    for (size_t i = 2; i < requests.size(); ++i) {
        ASSERT_EQ(requests[i].uri, chain[i]);
        EXPECT_EQ(Missing(requests[i], static_cast<int>(i) - 1), "") << requests[i].uri;
    }
    EXPECT_FALSE(requests.back().cookies.contains("sid=parent"));
    EXPECT_FALSE(requests.back().cookies.contains("sid=aside"));
}

// The three first pages set 150 cookies, the most one request sends: the next request carries them all.
// One more is one past the bound: the oldest go, and the newest goes out.
TEST_F(CookieJarAutoTest, AHostAtItsBoundSendsAllItsCookiesAndOnePastItDropsTheOldest) {
    testsupport::NginxOptions options;
    options.logFormat = "$request_uri $http_cookie";
    options.server = "    location ~ ^/q(?<page>[1-3])[.]html$ {\n";
    std::set<std::string> first;
    for (int page = 1; page <= 3; ++page)
        for (int i = 10; i < 60; ++i)
            first.insert("q" + std::to_string(page) + "c" + std::to_string(i) + "=v");
    for (int i = 10; i < 60; ++i) // names of one length: the library sends the longest first
        options.server += "        add_header Set-Cookie \"q${page}c" + std::to_string(i) + "=v; Path=/\";\n";
    options.server += "    }\n    location = /q4.html { add_header Set-Cookie \"q4c10=v; Path=/\"; }\n";
    testsupport::NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    PutChain(nginx, {"/q1.html", "/q2.html", "/q3.html", "/q4.html", "/q5.html"});

    const Crawl crawl = RunCrawl(dir_, config_, nginx.Url("/q1.html"), "");
    ASSERT_EQ(crawl.status, 0) << crawl.output;
    const std::vector<Request> requests = Requests(nginx.AccessLog(5));
    ASSERT_EQ(requests.size(), 5u) << nginx.AccessLog();
    EXPECT_EQ(requests[3].uri, "/q4.html");
    EXPECT_EQ(requests[3].cookies, first);
    const std::set<std::string>& after = requests[4].cookies;
    EXPECT_TRUE(after.contains("q4c10=v"));
    EXPECT_FALSE(after.contains("q1c10=v"));
    EXPECT_TRUE(after.contains("q3c59=v"));
    EXPECT_LE(after.size(), 150u);
}

// The jar is listed through a handle of its own; when the library cannot make it, as when memory runs
// out, nothing is taken for dropped: the next request tries again and carries the newest cookies.
TEST_F(CookieJarAutoTest, AJarThatCouldNotBeListedIsTrimmedBeforeTheNextRequest) {
    testsupport::NginxOptions options;
    options.logFormat = "$request_uri $http_cookie";
    options.server = FloodingPages({});
    testsupport::NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    constexpr int kPages = 10;
    std::vector<std::string> chain;
    for (int page = 1; page <= kPages; ++page)
        chain.push_back("/f/p" + std::to_string(page) + ".html");
    PutChain(nginx, chain);
    const std::string library = "LD_LIBRARY_PATH=" PW_STUB_CURL_DIR "faulty PW_STUB_CURL=";

    // Each request makes one handle; the jar's own is made by the request that first lists it.
    const fs::path noted = dir_ / "listing";
    const Crawl plain =
        RunCrawl(dir_, config_, nginx.Url(chain.front()), library + "note-listing:" + noted.string());
    ASSERT_EQ(plain.status, 0) << plain.output;
    int listing = 0;
    std::ifstream(noted) >> listing;
    ASSERT_GE(listing, 2);
    ASSERT_LE(listing + 3, kPages);
    ASSERT_EQ(Requests(nginx.AccessLog(kPages)).size(), static_cast<size_t>(kPages));

    const Crawl crawl =
        RunCrawl(dir_, config_, nginx.Url(chain.front()), library + "fail-init:" + std::to_string(listing));
    ASSERT_EQ(crawl.status, 0) << crawl.output;
    EXPECT_NE(ReadFile(crawl.map).find("Page /f/p10.html"), std::string::npos);
    const std::vector<Request> requests = Requests(nginx.AccessLog(2 * kPages));
    ASSERT_EQ(requests.size(), static_cast<size_t>(2 * kPages)) << nginx.AccessLog();
    // Request `listing` went with the jar as it was; the ones after it carry the page before them whole.
    for (int page = listing + 1; page <= listing + 3; ++page) {
        const Request& request = requests[static_cast<size_t>(kPages + page - 1)];
        ASSERT_EQ(request.uri, chain[static_cast<size_t>(page - 1)]);
        EXPECT_EQ(Missing(request, page - 1), "") << request.uri;
    }
}

} // namespace
} // namespace app_test
