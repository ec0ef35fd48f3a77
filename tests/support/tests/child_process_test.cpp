#include "tests/support/child_process.h"

#include "tests/support/child_test.h"
#include "tests/support/temp_dir.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Restores the working folder the test started in.
class WorkingFolder {
public:
    WorkingFolder() : saved_(std::filesystem::current_path()) {}
    ~WorkingFolder() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

} // namespace

TEST(UnprivilegedChild, RunsAsNobodyInAFolderOfItsOwnWhereverTheTestsStarted) {
    if (::geteuid() == 0) {
        // The tests run from a folder closed to everyone but root, as a clone in root's home would be.
        testsupport::TempDir closed("pw-closed");
        ASSERT_EQ(::chmod(closed.Path().c_str(), 0700), 0);
        WorkingFolder restore;
        std::filesystem::current_path(closed.Path());
        EXPECT_EQ(testsupport::RunTestInChild(testsupport::CurrentTestName(), {}, true), 0);
        return;
    }
    if (!testsupport::ChildIsUnprivileged()) GTEST_SKIP() << "the tests do not run as root";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    EXPECT_EQ(::getuid(), nobody->pw_uid);
    EXPECT_EQ(::geteuid(), nobody->pw_uid);
    EXPECT_EQ(::getegid(), nobody->pw_gid);
    EXPECT_EQ(::getgroups(0, nullptr), 0);
    // Its working folder is its own: it may read it and write there.
    char cwd[PATH_MAX];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    struct stat st {};
    ASSERT_EQ(::stat(cwd, &st), 0);
    EXPECT_EQ(st.st_uid, nobody->pw_uid);
    testsupport::WriteFile("probe", "written");
    EXPECT_EQ(testsupport::ReadFile("probe"), "written");
}

namespace {

// The bodies of tests that need their process to themselves which ran in this one.
int bodiesHere = 0;

} // namespace

// However the program is started, each of these runs in a process no other one ran in.
TEST(RanApart, TheFirstRunsInAProcessOfItsOwn) {
    if (testsupport::RanApart()) return;
    EXPECT_EQ(++bodiesHere, 1);
}

TEST(RanApart, TheSecondRunsInAProcessOfItsOwn) {
    if (testsupport::RanApart()) return;
    EXPECT_EQ(++bodiesHere, 1);
}
