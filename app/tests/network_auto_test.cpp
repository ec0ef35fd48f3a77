// Crawls as cron runs them, on a network set up as a user's may be: a proxy named in the environment, a
// network library that cannot start, a server whose answers cannot be framed.
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "main_form_fixture.h"
#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"
#include "tests/support/program_run.h"
#include "tests/support/tinyproxy_peer.h"

namespace app_test {
namespace {

struct Crawl {
    int status = -1;
    std::string output;
    fs::path map;
};

// Runs the program unattended on a profile for the site, with the NAME=value words of `environment`;
// stopped after two minutes.
Crawl RunCrawl(const fs::path& dir, const fs::path& config, const std::string& site,
               const std::string& environment) {
    TMapProfile profile;
    ApplyNewProfileDefaults(profile);
    profile.SetSpiderType(mstWebsite);
    profile.SetWebsite(site);
    Crawl crawl;
    crawl.map = dir / "out" / "sitemap.html";
    fs::remove_all(crawl.map.parent_path());
    fs::create_directories(crawl.map.parent_path());
    profile.SetOutputFileName(crawl.map.string());
    profile.SetFileName((dir / "site.qpw").string());
    SaveProfileFile(profile, nullptr);
    const testsupport::RunResult run =
        testsupport::RunProgram(config, "-auto '" + profile.FileName() + "'", environment, false, 120);
    crawl.status = run.status;
    crawl.output = run.output;
    return crawl;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

using NetworkAutoTest = MainFormTest;

// A user behind a proxy names it in the environment, as the crawl has no proxy setting of its own: an
// https site is crawled through the proxy's tunnel, whichever of the names the user set, and an http one
// through the proxy itself.
TEST_F(NetworkAutoTest, AnHttpsSiteIsCrawledThroughTheProxyTheEnvironmentNames) {
    testsupport::NginxOptions secure;
    secure.tls = true;
    testsupport::NginxPeer site(secure);
    testsupport::TinyProxyPeer proxy;
    ASSERT_TRUE(site.Running());
    ASSERT_TRUE(proxy.Running()) << "tinyproxy is needed; make deps installs it";
    site.Put("/index.html", "<html><head><title>Secure home</title></head><body><a href=\"inner.html\">in</a>"
                            "</body></html>");
    site.Put("/inner.html", "<html><head><title>Behind the tunnel</title></head><body></body></html>");
    const std::string trust = "SSL_CERT_FILE='" + site.CaFile() + "' ";

    for (const char* variable : {"https_proxy", "HTTPS_PROXY", "all_proxy"}) {
        const Crawl crawl = RunCrawl(dir_, config_, site.Url("/"), trust + variable + "=" + proxy.Url());
        EXPECT_EQ(crawl.status, 0) << variable << "\n" << crawl.output;
        const std::string written = ReadFile(crawl.map);
        EXPECT_TRUE(Has(written, "Secure home")) << variable << "\n" << crawl.output;
        EXPECT_TRUE(Has(written, "Behind the tunnel")) << variable;
    }
    // The variable is what took the crawl to the proxy: one naming a port where nothing answers fails it.
    testsupport::ClosedPort nowhere;
    const Crawl refused = RunCrawl(dir_, config_, site.Url("/"),
                                   trust + "https_proxy=http://127.0.0.1:" + std::to_string(nowhere.Port()));
    EXPECT_NE(refused.status, 0) << refused.output;
    EXPECT_TRUE(Has(refused.output, "could not be loaded")) << refused.output;
    // Without the authority the user trusts, the site's certificate is refused.
    const Crawl untrusted = RunCrawl(dir_, config_, site.Url("/"), std::string("https_proxy=") + proxy.Url());
    EXPECT_NE(untrusted.status, 0) << untrusted.output;

    testsupport::NginxOptions plain;
    plain.logFormat = "$request_uri via=$http_via";
    testsupport::NginxPeer open(plain);
    ASSERT_TRUE(open.Running());
    open.Put("/index.html", "<html><head><title>Plain home</title></head><body></body></html>");
    const Crawl crawl = RunCrawl(dir_, config_, open.Url("/"), "http_proxy=" + proxy.Url());
    EXPECT_EQ(crawl.status, 0) << crawl.output;
    EXPECT_TRUE(Has(ReadFile(crawl.map), "Plain home")) << crawl.output;
    EXPECT_TRUE(Has(open.AccessLog(1), "(tinyproxy/")) << open.AccessLog();
}

// The network library is loaded when a crawl first needs it. One the loader cannot take, one that lacks an
// entry point, one that cannot start and one that makes no transfer each end the run with what is wrong.
TEST_F(NetworkAutoTest, ACrawlWhoseNetworkLibraryCannotStartSaysWhyAndEnds) {
    testsupport::NginxPeer site({});
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", "<html><head><title>Home</title></head><body></body></html>");
    const fs::path broken = dir_ / "broken";
    fs::create_directories(broken);
    std::ofstream(broken / "libcurl.so.4") << "not a library";
    const std::string stub = "LD_LIBRARY_PATH=" PW_STUB_CURL_DIR;
    const std::vector<std::pair<std::string, std::string>> cases{
        {"LD_LIBRARY_PATH='" + broken.string() + "'",
         "the network library could not be started (cannot load libcurl: " + broken.string() +
             "/libcurl.so.4: file too short)"},
        {stub + "partial",
         "the network library could not be started (libcurl lacks curl_multi_socket_action)"},
        {stub + "full PW_STUB_CURL=init-fails", "the network library could not be started (libcurl could not "
                                                "be initialised: Failed initialization)"},
        {stub + "full", "the network library could not start a transfer"},
    };
    for (const auto& [environment, said] : cases) {
        const Crawl crawl = RunCrawl(dir_, config_, site.Url("/"), environment);
        EXPECT_NE(crawl.status, 0) << environment << "\n" << crawl.output;
        EXPECT_TRUE(Has(crawl.output, said)) << environment << "\n" << crawl.output;
        EXPECT_FALSE(fs::exists(crawl.map)) << environment;
    }
    // A library that was loaded but cannot be used is let go at once, not kept to the end of the run (the
    // loader lists each library it closes).
    for (const char* variant : {"partial", "full PW_STUB_CURL=init-fails"}) {
        const Crawl crawl = RunCrawl(dir_, config_, site.Url("/"), stub + variant + " LD_DEBUG=files");
        const size_t closed = crawl.output.find("calling fini: " PW_STUB_CURL_DIR);
        ASSERT_NE(closed, std::string::npos) << crawl.output;
        EXPECT_LT(closed, crawl.output.find("could not be loaded")) << variant << "\n" << crawl.output;
    }
    // The real library still crawls the site.
    const Crawl crawl = RunCrawl(dir_, config_, site.Url("/"), "");
    EXPECT_EQ(crawl.status, 0) << crawl.output;
    EXPECT_TRUE(Has(ReadFile(crawl.map), "Home"));
}

// A Content-Length field that lists two lengths leaves the page's end unknown: taking the first would cut
// the page short and call it whole. The page is left out and the crawl goes on.
TEST_F(NetworkAutoTest, APageWhoseLengthFieldListsTwoLengthsIsLeftOutAndTheCrawlGoesOn) {
    PeerProcess faults({"python3", PW_SOURCE_DIR "/platform/net/tests/http_peer.py"});
    ASSERT_TRUE(faults.Running());
    const Crawl crawl = RunCrawl(
        dir_, config_, faults.Url("/links.html?to=/listed-lengths.html&to=/titled/After-the-list.html"), "");
    EXPECT_EQ(crawl.status, 0) << crawl.output;
    const std::string written = ReadFile(crawl.map);
    EXPECT_TRUE(Has(written, "After the list")) << crawl.output;
    EXPECT_FALSE(Has(written, "listed-lengths.html")) << "a page cut short is no page\n" << written;
}

} // namespace
} // namespace app_test
