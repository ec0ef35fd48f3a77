#include "tests/support/loopback_port.h"
#include "tests/support/nginx_peer.h"
#include "tests/support/peer_process.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
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
    options.logFormat = R"($request_uri $status 'q' \x)";
    NginxPeer nginx(options);
    ASSERT_TRUE(nginx.Running());
    EXPECT_EQ(nginx.Url("/a", "127.0.0.2"), "http://127.0.0.2:" + std::to_string(nginx.Port()) + "/a");
    nginx.Put("/dir/page.peer", "hello");

    const std::string first = get("127.0.0.1", nginx.Port(), "/dir/page.peer");
    EXPECT_NE(first.find(" 200 "), std::string::npos) << first;
    EXPECT_NE(first.find("Content-Type: text/x-peer"), std::string::npos) << first;
    EXPECT_EQ(body(first), "hello");
    EXPECT_EQ(body(get("127.0.0.2", nginx.Port(), "/dir/page.peer")), "hello");
    EXPECT_NE(get("127.0.0.1", nginx.Port(), "/gone").find(" 410 "), std::string::npos);
    EXPECT_NE(get("127.0.0.1", nginx.Port(), "/missing").find(" 404 "), std::string::npos);
    EXPECT_FALSE(testsupport::WaitForPort(nginx.Port(), "127.0.0.3", 0));

    EXPECT_EQ(nginx.AccessLog(), "/dir/page.peer 200 'q' \\x\n"
                                 "/dir/page.peer 200 'q' \\x\n"
                                 "/gone 410 'q' \\x\n"
                                 "/missing 404 'q' \\x\n");
}

TEST(NginxPeer, DefaultLogKeepsNginxsOwnFormat) {
    REQUIRE_NGINX();
    NginxPeer nginx(NginxOptions{});
    ASSERT_TRUE(nginx.Running());
    get("127.0.0.1", nginx.Port(), "/x");
    const std::string log = nginx.AccessLog();
    EXPECT_EQ(log.rfind("127.0.0.1 - - [", 0), 0u) << log;
    EXPECT_NE(log.find("\"GET /x HTTP/1.0\" 404 "), std::string::npos) << log;
}

TEST(NginxPeer, StopsByItsProcessAndCleansUp) {
    REQUIRE_NGINX();
    std::string root;
    int port = 0;
    {
        NginxPeer nginx(NginxOptions{});
        ASSERT_TRUE(nginx.Running());
        root = nginx.Root();
        port = nginx.Port();
        // A second peer runs beside the first and stopping it leaves the first alone.
        {
            NginxPeer second(NginxOptions{});
            ASSERT_TRUE(second.Running());
            EXPECT_NE(second.Port(), port);
        }
        EXPECT_TRUE(testsupport::WaitForPort(port, "127.0.0.1", 0));
        nginx.Stop();
        EXPECT_FALSE(nginx.Running());
        EXPECT_FALSE(testsupport::WaitForPort(port, "127.0.0.1", 0));
        nginx.Stop();
    }
    EXPECT_FALSE(std::filesystem::exists(root));
}

TEST(NginxPeer, ConfigurationNginxRefusesMeansNotRunning) {
    REQUIRE_NGINX();
    NginxOptions options;
    options.server = "    no_such_directive on;\n";
    const auto start = std::chrono::steady_clock::now();
    NginxPeer nginx(options);
    EXPECT_FALSE(nginx.Running());
    // nginx's exit is noticed without waiting out the start-up time.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

    options.server.clear();
    options.hosts.clear();
    EXPECT_FALSE(NginxPeer(options).Running());
}

TEST(NginxPeer, EchoModuleOnRequest) {
    REQUIRE_NGINX();
    if (testsupport::NginxEchoModule().empty()) GTEST_SKIP() << "the nginx echo module is needed";
    NginxOptions options;
    options.server = "    location = /e { echo_sleep 0.1; echo hi; }\n";
    options.echo = true;
    NginxPeer with(options);
    ASSERT_TRUE(with.Running());
    EXPECT_EQ(body(get("127.0.0.1", with.Port(), "/e")), "hi\n");

    options.echo = false;
    EXPECT_FALSE(NginxPeer(options).Running());
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
    const std::string cmd = "curl -s --cacert " + nginx.CaFile() + " " + nginx.Url("/s.txt");
    FILE* pipe = ::popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[256];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(out, "secret");
    // Plain http on a TLS port is refused.
    EXPECT_NE(get("127.0.0.1", nginx.Port(), "/s.txt").find(" 400 "), std::string::npos);
}
