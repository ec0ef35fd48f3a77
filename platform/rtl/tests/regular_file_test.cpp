// Files that the user or another program replaced by something else: every reader refuses them at
// once, without waiting, and says what is wrong.
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/store_io.h"

#include "tests/support/child_process.h"
#include "tests/support/child_test.h"
#include "tests/support/pipe_unblocker.h"
#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using testsupport::ThrownMessage;

namespace {

void MakeSocket(const std::string& path) {
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(s);
}

} // namespace

TEST(RegularFilesOnly, EveryReaderRefusesWhatIsNoRegularFileAndSaysWhy) {
    testsupport::TempDir dir("pw-regular");
    const auto at = [&](const char* name) { return dir.File(name); };
    ASSERT_EQ(::mkdir(at("folder").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", at("device").c_str()), 0);
    MakeSocket(at("socket"));
    ASSERT_EQ(::symlink(at("loop2").c_str(), at("loop1").c_str()), 0);
    ASSERT_EQ(::symlink(at("loop1").c_str(), at("loop2").c_str()), 0);
    ASSERT_EQ(::symlink(at("gone").c_str(), at("dangling").c_str()), 0);
    testsupport::PipeUnblocker unblocker(at("pipe"));

    struct Case {
        const char* name;
        const char* problem;
        bool missing;                // the INI reader takes it for a file that is not there yet
        bool createdThrough = false; // a new file is made where it leads
    };
    const Case cases[] = {
        {"folder", "it is a folder", false},
        {"pipe", "it is a named pipe (FIFO)", false},
        {"device", "it is a device", false},
        {"socket", "it is a socket", false},
        {"loop1", "it is a loop of symbolic links", false},
        // What it leads to may come back (a drive mounted again): it is not taken for nothing stored.
        {"dangling", "it is a symbolic link to a file that does not exist", false, true},
        {"missing", "there is no such file", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = at(c.name);
        const std::string expected = "Cannot open file " + path + ": " + c.problem;
        EXPECT_EQ(ThrownMessage<EFOpenError>([&] { TFileStream stream(path, fmOpenRead); }), expected);
        std::string bytes = "left over";
        if (c.missing) {
            EXPECT_FALSE(store_io::ReadWholeFile(path, bytes));
            EXPECT_EQ(TMemIniFile(path).ReadInteger("s", "k", 7), 7);
        } else {
            EXPECT_EQ(ThrownMessage<EFOpenError>([&] { store_io::ReadWholeFile(path, bytes); }), expected);
            EXPECT_EQ(ThrownMessage<EFOpenError>([&] { TMemIniFile ini(path); }), expected);
            if (!c.createdThrough) {
                EXPECT_THROW(TFileStream(path, fmCreate), EFCreateError);
            }
        }
    }
}

TEST(RegularFilesOnly, AFileThisUserMayNotReadSaysSo) {
    // Permissions do not stop root from reading: as root, the test runs again as an ordinary user.
    if (::geteuid() == 0) {
        EXPECT_EQ(testsupport::RunTestInChild(testsupport::CurrentTestName(), {}, true), 0);
        return;
    }
    testsupport::TempDir dir("pw-regular");
    const std::string locked = dir.File("locked");
    testsupport::WriteFile(locked, "[s]\nk=1\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const std::string expected = "Cannot open file " + locked + ": it may not be read (permission denied)";
    EXPECT_EQ(ThrownMessage<EFOpenError>([&] { TFileStream stream(locked, fmOpenRead); }), expected);
    EXPECT_EQ(ThrownMessage<EFOpenError>([&] { TMemIniFile ini(locked); }), expected);
}
