#include "tests/support/loopback_port.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(TempDir, HoldsFilesUntilItGoes) {
    std::string path;
    {
        TempDir dir("pw-support");
        path = dir.Path();
        EXPECT_EQ(path.rfind("/tmp/pw-support-", 0), 0u);
        const std::string bytes("a\0b\r\n\xff", 6);
        WriteFile(dir.File("deep/er/file.bin"), bytes);
        EXPECT_EQ(ReadFile(dir.File("deep/er/file.bin")), bytes);
        WriteFile(dir.File("deep/er/file.bin"), "short"); // nothing of the longer content stays
        EXPECT_EQ(ReadFile(dir.File("deep/er/file.bin")), "short");
        EXPECT_EQ(ReadFile(dir.File("absent")), "");
        EXPECT_NE(TempDir("pw-support").Path(), path);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THROW(TempDir("no-such-folder/pw"), std::runtime_error);
}

TEST(LoopbackPort, ClosedPortsRefuseAndListenersAreFoundByTheirProcess) {
    const testsupport::ClosedPort closed;
    ASSERT_GT(closed.Port(), 0);
    EXPECT_FALSE(testsupport::WaitForPort(closed.Port(), "127.0.0.1", 100));
    EXPECT_FALSE(testsupport::ListensOn(getpid(), "127.0.0.1", closed.Port()));
    EXPECT_EQ(closed.Url("/x"), "http://127.0.0.1:" + std::to_string(closed.Port()) + "/x");
    EXPECT_NE(testsupport::ClosedPort().Port(), closed.Port());

    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    const int port = ntohs(a.sin_port);
    EXPECT_TRUE(testsupport::ListensOn(getpid(), "127.0.0.1", port));
    EXPECT_TRUE(testsupport::WaitForPort(port, "127.0.0.1", 0));
    EXPECT_FALSE(testsupport::ListensOn(getpid(), "127.0.0.2", port));
    EXPECT_FALSE(testsupport::ListensOn(getppid(), "127.0.0.1", port)); // another process
    EXPECT_FALSE(testsupport::ListensOn(getpid(), "not an address", port));
    ::close(fd);
    EXPECT_FALSE(testsupport::ListensOn(getpid(), "127.0.0.1", port));
    EXPECT_FALSE(testsupport::WaitForPort(0, "127.0.0.1", 0));
}
