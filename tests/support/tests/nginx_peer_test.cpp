#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <filesystem>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::NginxOptions;
using testsupport::NginxPeer;

namespace {

// One HTTP/1.0 GET; the whole answer, headers and body.
std::string get(const std::string& host, int port, const std::string& path) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    std::string answer;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const std::string request = "GET " + path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n";
        if (::write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
            char buffer[4096];
            ssize_t n;
            while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
                answer.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    return answer;
}

std::string body(const std::string& answer) {
    const size_t end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

#define REQUIRE_NGINX()                                                                                      \
    if (testsupport::NginxProgram().empty()) GTEST_SKIP() << "nginx is needed; make deps installs it"

} // namespace

TEST(NginxPeer, ServesEveryHostFromTheGivenPartsAndLogsInTheGivenFormat) {
    REQUIRE_NGINX();
    NginxOptions options;
    options.hosts = {"127.0.0.1", "127.0.0.2"};
    options.http = "  types { text/x-peer peer; }\n";
    options.server = "    location = /gone { return 410; }\n";
    options.logFormat = R"($request_uri $status 'q' \x)"; // quotes and backslashes reach nginx intact
    NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    EXPECT_EQ(nginx.Url("/a", "127.0.0.2"), "http://127.0.0.2:" + std::to_string(nginx.Port()) + "/a");
    nginx.Put("/dir/page.peer", "hello");

    const std::string first = get("127.0.0.1", nginx.Port(), "/dir/page.peer");
    EXPECT_NE(first.find("Content-Type: text/x-peer"), std::string::npos) << first;
    EXPECT_EQ(body(first), "hello");
    EXPECT_EQ(body(get("127.0.0.2", nginx.Port(), "/dir/page.peer")), "hello");
    EXPECT_NE(get("127.0.0.1", nginx.Port(), "/gone").find(" 410 "), std::string::npos);
    EXPECT_EQ(nginx.AccessLog(3), "/dir/page.peer 200 'q' \\x\n"
                                  "/dir/page.peer 200 'q' \\x\n"
                                  "/gone 410 'q' \\x\n");
}

TEST(NginxPeer, StopsByItsProcessAndCleansUp) {
    REQUIRE_NGINX();
    std::string root;
    {
        NginxPeer nginx(NginxOptions{});
        ASSERT_TRUE(nginx.Running());
        root = nginx.Root();
        // A second peer runs beside the first and stopping it leaves the first alone.
        {
            NginxPeer second(NginxOptions{});
            ASSERT_TRUE(second.Running());
            EXPECT_NE(second.Port(), nginx.Port());
        }
        EXPECT_TRUE(testsupport::WaitForPort(nginx.Port(), "127.0.0.1", 0));
        nginx.Stop();
        EXPECT_FALSE(nginx.Running());
        EXPECT_FALSE(testsupport::WaitForPort(nginx.Port(), "127.0.0.1", 0));
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST(NginxPeer, ConfigurationNginxRefusesMeansNotRunning) {
    REQUIRE_NGINX();
    NginxOptions options;
    options.server = "    no_such_directive on;\n";
    EXPECT_FALSE(NginxPeer(options).Running());
    options.server.clear();
    options.hosts.clear();
    EXPECT_FALSE(NginxPeer(options).Running());
}

TEST(NginxPeer, EchoModuleOnRequest) {
    REQUIRE_NGINX();
    if (testsupport::NginxEchoModule().empty()) GTEST_SKIP() << "the nginx echo module is needed";
    NginxOptions options;
    options.server = "    location = /e { echo hi; }\n";
    options.echo = true;
    NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    EXPECT_EQ(body(get("127.0.0.1", nginx.Port(), "/e")), "hi\n");
}

TEST(NginxPeer, HttpsWithItsOwnCertificate) {
    REQUIRE_NGINX();
    if (!HaveProgram("openssl") || !HaveProgram("curl")) GTEST_SKIP() << "openssl and curl are needed";
    NginxOptions options;
    options.tls = true;
    NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    nginx.Put("/s.txt", "secret");
    EXPECT_EQ(nginx.Url("/s.txt"), "https://127.0.0.1:" + std::to_string(nginx.Port()) + "/s.txt");
    // curl checks the certificate against the peer's own authority and the address.
    const std::string out = nginx.Root() + "/fetched";
    ASSERT_EQ(std::system(
                  ("curl -s --cacert " + nginx.CaFile() + " -o " + out + " " + nginx.Url("/s.txt")).c_str()),
              0);
    EXPECT_EQ(testsupport::ReadFile(out), "secret");
}
