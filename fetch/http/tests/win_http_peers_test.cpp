#include "fetch/http/win_http.h"
#include "http_test_support.h"

#include "platform/net/wininet.h"
#include "tests/support/wait.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

using namespace http_test;

namespace {

using Names = std::vector<std::string>;

Names fetchNames(TWinHTTP& http, std::unique_ptr<Recorder>& rec, const std::string& url) {
    rec = std::make_unique<Recorder>(http);
    EXPECT_TRUE(Fetch(http, url)) << url;
    EXPECT_LE(rec->Terminal().size(), 1u);
    return rec->Names();
}

} // namespace

TEST(WinHttpNginx, HttpsRedirectsToItAndSlowAnswers) {
    Nginx nginx("    location /slow { echo_sleep 60; echo slow; }\n"
                "    location /trickle { limit_rate 4k; }\n",
                true);
    if (!nginx.Running())
        GTEST_SKIP() << "nginx (nginx-light) and openssl are needed; make deps installs them";
    std::filesystem::create_directories(nginx.Root() + "/dir");
    WriteFile(nginx.Root() + "/dir/index.html", "<a href='page.html'>p</a>");
    WriteFile(nginx.Root() + "/trickle", std::string(12000, 't'));
    TWinHTTP http(nullptr);
    std::unique_ptr<Recorder> rec;

    // Without the test authority the certificate is refused: no response at all.
    EXPECT_EQ(fetchNames(http, rec, nginx.Url("/dir/")), (Names{"AnyError", "HostUnreachable"}));
    InternetSetCaBundle(nginx.CaFile());
    EXPECT_EQ(fetchNames(http, rec, nginx.Url("/dir/")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec->body, "<a href='page.html'>p</a>");
    // Redirects from http to https are followed.
    if (FaultServer().Running()) {
        EXPECT_EQ(fetchNames(http, rec, FaultUrl("/redirect-to?u=" + nginx.Url("/dir/"))),
                  (Names{"HeaderInfo", "Done"}));
        EXPECT_EQ(rec->body, "<a href='page.html'>p</a>");
    }

    // A soft abort while the server has not answered yet returns long before the answer could come.
    if (std::filesystem::exists("/usr/lib/nginx/modules/ngx_http_echo_module.so")) {
        rec = std::make_unique<Recorder>(http);
        http.URL = nginx.Url("/slow");
        ASSERT_TRUE(http.Read());
        PumpUntil([] { return false; }, 300);
        const auto start = std::chrono::steady_clock::now();
        http.Abort();
        ASSERT_TRUE(PumpUntil([&] { return !http.Busy(); }, gui_test::kPatienceMs));
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::seconds(30)); // the answer takes a minute
        EXPECT_EQ(rec->Names(), (Names{"Aborted"}));
    }
    // A slow but healthy body is not cut by the stall limit.
    http.Timeouts()->ReceiveTimeout = 2000;
    EXPECT_EQ(fetchNames(http, rec, nginx.Url("/trickle")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec->body.size(), 12000u);
    InternetSetCaBundle("");
}

TEST(WinHttpNginx, AWorkerGoesOnPastPagesUpToAMegabyteWithoutTheGuiThread) {
    // Such a body travels whole with its events, so the worker goes on to the next address while the GUI
    // thread is busy; a larger one is heard block by block as it comes, each block waiting for the GUI
    // thread.
    Nginx nginx("", false);
    if (!nginx.Running()) GTEST_SKIP() << "nginx (nginx-light) is needed; make deps installs it";
    TWinHTTP http(nullptr);
    for (const size_t size : {600000u, 1500000u}) {
        std::string page(size, 'p');
        for (size_t i = 0; i < size; i += 7)
            page[i] = static_cast<char>('a' + i % 26);
        WriteFile(nginx.Root() + "/big.html", page);
        WriteFile(nginx.Root() + "/small.html", "<p>small</p>");
        const std::vector<std::string> urls{nginx.Url("/big.html"), nginx.Url("/small.html")};
        Recorder rec(http);
        std::atomic<int> ended{0};
        std::string firstBody;
        http.OnChain = [&](int, const std::string& URL, const std::string&) {
            ++ended;
            return URL == urls[0] ? urls[1] : std::string();
        };
        http.OnChained = [&](TObject*, const std::string&) { firstBody = rec.body; };
        http.URL = urls[0];
        ASSERT_TRUE(http.Read());
        // Not a message of the GUI thread's runs meanwhile.
        if (size < 1 << 20) {
            EXPECT_TRUE(testsupport::WaitUntil([&] { return ended == 2; }));
        }
        ASSERT_TRUE(PumpUntil([&] { return !http.Busy(); }, gui_test::kPatienceMs));
        EXPECT_EQ(rec.Names(), (Names{"HeaderInfo", "Done", "HeaderInfo", "Done"})) << size;
        EXPECT_EQ(firstBody, page);
        EXPECT_EQ(rec.body, "<p>small</p>");
    }
}

TEST(WinHttpProxy, ThroughTinyproxyWithAndWithoutAuthentication) {
    ASSERT_TRUE(FaultServer().Running());
    TinyProxy open("", "");
    if (!open.Running()) GTEST_SKIP() << "tinyproxy is needed; make deps installs it";
    TWinHTTP http(nullptr);
    std::unique_ptr<Recorder> rec;
    http.Proxy()->AccessType = atUseProxy;
    http.Proxy()->ProxyServer = "127.0.0.1";
    http.Proxy()->ProxyPort = open.Port();
    http.Proxy()->ProxyBypass = "";
    EXPECT_EQ(fetchNames(http, rec, FaultUrl("/echo-request")), (Names{"HeaderInfo", "Done"}));
    EXPECT_NE(rec->rawHeaders.find("Via: "), std::string::npos)
        << rec->rawHeaders; // it went through the proxy
    // The default bypass list keeps loopback addresses away from the proxy.
    http.Proxy()->ProxyBypass = "127.0.0.1;";
    fetchNames(http, rec, FaultUrl("/echo-request"));
    EXPECT_EQ(rec->rawHeaders.find("Via: "), std::string::npos);
    http.Proxy()->ProxyBypass = "";

    TinyProxy guarded("proxyuser", "proxypass");
    ASSERT_TRUE(guarded.Running());
    http.Proxy()->ProxyPort = guarded.Port();
    // Known credentials: the first 407 is answered silently.
    http.Proxy()->ProxyUsername = "proxyuser";
    http.Proxy()->ProxyPassword = "proxypass";
    int asked = 0;
    http.OnProxyAuthenticationRequest = [&](TObject*, std::string& user, std::string& password,
                                            bool& tryAgain) {
        ++asked;
        user = "proxyuser";
        password = "proxypass";
        tryAgain = true;
    };
    EXPECT_EQ(fetchNames(http, rec, FaultUrl("/ok?n=20")), (Names{"HeaderInfo", "Done"})) << rec->rawHeaders;
    EXPECT_EQ(asked, 0);
    // Unknown credentials: after the silent retry the handler is asked, and its answer is kept.
    http.Proxy()->ProxyUsername = "";
    http.Proxy()->ProxyPassword = "";
    EXPECT_EQ(fetchNames(http, rec, FaultUrl("/ok?n=20")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(http.Proxy()->ProxyUsername, "proxyuser");
    // No answer, but always "try again": the retries end and the 407 is reported.
    asked = 0;
    http.Proxy()->ProxyUsername = "";
    http.Proxy()->ProxyPassword = "";
    http.OnProxyAuthenticationRequest = [&](TObject*, std::string&, std::string&, bool& tryAgain) {
        ++asked;
        tryAgain = true;
    };
    EXPECT_EQ(fetchNames(http, rec, FaultUrl("/ok?n=20")), (Names{"HeaderInfo", "AnyError", "HTTPError"}));
    EXPECT_EQ(rec->Find("HTTPError")->code, 407) << rec->rawHeaders << rec->body;
    EXPECT_EQ(asked, 2);
}

TEST(WinHttpProxy, AnHttpsPageThroughTheProxysTunnelIsTheServersAnswer) {
    // The proxy's answer to CONNECT opens the tunnel; it is neither the page's answer nor a redirect.
    Nginx nginx("", true);
    TinyProxy proxy("", "");
    if (!nginx.Running() || !proxy.Running())
        GTEST_SKIP() << "nginx (nginx-light), openssl and tinyproxy are needed; make deps installs them";
    WriteFile(nginx.Root() + "/tunnel.html", "<p>through</p>");
    InternetSetCaBundle(nginx.CaFile());
    TWinHTTP http(nullptr);
    http.Proxy()->AccessType = atUseProxy;
    http.Proxy()->ProxyServer = "127.0.0.1";
    http.Proxy()->ProxyPort = proxy.Port();
    http.Proxy()->ProxyBypass = "";
    std::unique_ptr<Recorder> rec;
    EXPECT_EQ(fetchNames(http, rec, nginx.Url("/tunnel.html")), (Names{"HeaderInfo", "Done"}));
    EXPECT_EQ(rec->body, "<p>through</p>");
    EXPECT_EQ(rec->rawHeaders.find("established"), std::string::npos) << rec->rawHeaders;
    EXPECT_NE(rec->rawHeaders.find("200 OK"), std::string::npos) << rec->rawHeaders;
    InternetSetCaBundle("");
}
