// The cookies every request shares stay within their bounds per host and in all, through the calls the
// crawl makes, against nginx setting fifty cookies an answer on loopback hosts of its own.
#include "platform/net/cookie_limits.h"
#include "platform/net/wininet.h"
#include "tests/support/nginx_peer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

// /flood?p=X sets X0..X48 and sid=X, /fill?p=X sets X0..X49, /echo answers the cookies it was sent.
testsupport::NginxOptions CookieSite(std::vector<std::string> hosts) {
    std::string flood, fill;
    for (int i = 0; i < 50; ++i) {
        const std::string header =
            "        add_header Set-Cookie \"${arg_p}" + std::to_string(i) + "=v; Path=/\";\n";
        if (i < 49) flood += header;
        fill += header;
    }
    testsupport::NginxOptions o;
    o.hosts = std::move(hosts);
    o.server = "    default_type text/plain;\n"
               "    location /flood {\n" +
               flood +
               "        add_header Set-Cookie \"sid=$arg_p; Path=/\";\n        return 200 \"set\";\n    }\n" +
               "    location /fill {\n" + fill + "        return 200 \"set\";\n    }\n" +
               "    location /echo { return 200 \"$http_cookie\"; }\n";
    return o;
}

// The body of a GET of path from host, as the crawl asks for a page.
std::string Get(const testsupport::NginxPeer& peer, const std::string& host, const std::string& path) {
    HINTERNET root = InternetOpen("CookieTest/1.0", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
    HINTERNET conn =
        InternetConnect(root, host, static_cast<WORD>(peer.Port()), "", "", INTERNET_SERVICE_HTTP, 0);
    HINTERNET r = HttpOpenRequest(conn, "GET", path, "", {"*/*"}, INTERNET_FLAG_KEEP_CONNECTION);
    std::string body = "<failed>";
    if (r && HttpSendRequest(r, "", "")) {
        body.clear();
        char buffer[4096];
        DWORD n = 0;
        while (InternetReadFile(r, buffer, sizeof buffer, n) && n > 0)
            body.append(buffer, n);
    }
    InternetCloseHandle(r);
    InternetCloseHandle(conn);
    InternetCloseHandle(root);
    return body;
}

// The names of the cookies an /echo answer lists.
std::set<std::string> Names(const std::string& cookies) {
    std::set<std::string> names;
    std::istringstream in(cookies);
    for (std::string item; std::getline(in, item, ';');) {
        const size_t start = item.find_first_not_of(' ');
        if (start != std::string::npos) names.insert(item.substr(start, item.find('=') - start));
    }
    return names;
}

TEST(CookieLimits, AHostKeepsItsNewestCookiesAndOneSetOnEveryPage) {
    const std::string host = "127.0.0.2";
    testsupport::NginxPeer nginx(CookieSite({host}));
    ASSERT_TRUE(nginx.Running());
    for (int page = 1; page <= 4; ++page)
        ASSERT_EQ(Get(nginx, host, "/flood?p=h2p" + std::to_string(page) + "c"), "set");
    ASSERT_EQ(Get(nginx, host, "/fill?p=h2p5c"), "set");
    const std::set<std::string> sent = Names(Get(nginx, host, "/echo"));
    // 247 set: past 150 the oldest go, down to 120.
    EXPECT_GE(sent.size(), net::kCookiesPerSiteKept);
    EXPECT_LE(sent.size(), net::kCookiesPerSite);
    for (const char* dropped : {"h2p1c0", "h2p1c48", "h2p2c0"})
        EXPECT_EQ(sent.count(dropped), 0u) << dropped;
    for (const char* newest : {"h2p5c0", "h2p5c49", "h2p4c0"})
        EXPECT_EQ(sent.count(newest), 1u) << newest;
    // Set on the first page and again on each but the last: never among the oldest.
    EXPECT_EQ(sent.count("sid"), 1u);
}

TEST(CookieLimits, TheJarKeepsItsNewestCookiesOverAllHosts) {
    // 23 hosts of 150 cookies each, none past its own bound: 3,450 in all.
    std::vector<std::string> hosts;
    for (int i = 0; i < 23; ++i)
        hosts.push_back("127.0.1." + std::to_string(i + 1));
    testsupport::NginxPeer nginx(CookieSite(hosts));
    ASSERT_TRUE(nginx.Running());
    for (size_t h = 0; h < hosts.size(); ++h)
        for (int answer = 0; answer < 3; ++answer)
            ASSERT_EQ(
                Get(nginx, hosts[h], "/fill?p=t" + std::to_string(h) + "a" + std::to_string(answer) + "c"),
                "set");
    size_t total = 0;
    std::vector<size_t> kept;
    for (const std::string& host : hosts) {
        kept.push_back(Names(Get(nginx, host, "/echo")).size());
        total += kept.back();
    }
    EXPECT_LE(total, net::kCookiesInAll);
    EXPECT_GE(total, net::kCookiesInAllKept);
    // The first hosts' cookies are the oldest: they went first (after any older ones of this process);
    // the last hosts keep all theirs.
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    for (size_t h = 12; h < hosts.size(); ++h)
        EXPECT_EQ(kept[h], 150u) << hosts[h];
}

TEST(CookieLimits, TwoThreadsSettingCookiesAtOnceEachSendTheirNewest) {
    const std::string quiet = "127.0.0.3", busy = "127.0.0.4";
    testsupport::NginxPeer nginx(CookieSite({quiet, busy}));
    ASSERT_TRUE(nginx.Running());
    // The crawl's threads: the busy host passes its bound again and again while the quiet one, past its
    // own bound too, sets cookies and asks for them.
    std::thread flood([&] {
        for (int page = 0; page < 30; ++page)
            Get(nginx, busy, "/fill?p=b" + std::to_string(page) + "c");
    });
    int lost = 0;
    for (int round = 0; round < 30; ++round) {
        const std::string name = "q" + std::to_string(round) + "c";
        Get(nginx, quiet, "/flood?p=" + name);
        const std::set<std::string> sent = Names(Get(nginx, quiet, "/echo"));
        for (int i = 0; i < 49; ++i)
            lost += sent.count(name + std::to_string(i)) == 0 ? 1 : 0;
    }
    flood.join();
    EXPECT_EQ(lost, 0);
}

} // namespace
