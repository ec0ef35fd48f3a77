#include "tests/support/loopback_port.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

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

TEST(LoopbackPort, FreePortAnswersNothing) {
    const int port = testsupport::FreePort();
    EXPECT_GT(port, 0);
    EXPECT_FALSE(testsupport::WaitForPort(port, "127.0.0.1", 100));
    EXPECT_FALSE(testsupport::WaitForPort(port, "not an address", 0));
    EXPECT_FALSE(testsupport::WaitForPort(0, "127.0.0.1", 0));
}
