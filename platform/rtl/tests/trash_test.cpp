// Files go to the freedesktop.org trash, never away: the home trash takes files of its own device
// with an info file that says where each came from and when; a second file of the same name gets a
// name of its own; a file on another volume goes to that volume's own trash, a shared one only when
// it is set up as one.
#include "platform/rtl/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>

#include "platform/rtl/files.h"
#include "tests/support/temp_dir.h"

using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

// XDG_DATA_HOME in a folder of the test's own for the test's length.
class HomeTrash : public ::testing::Test {
protected:
    void SetUp() override {
        const char* was = std::getenv("XDG_DATA_HOME");
        saved_ = was ? std::optional<std::string>(was) : std::nullopt;
        setenv("XDG_DATA_HOME", data_.Path().c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    TempDir data_{"pw-data"};
    TempDir site_{"pw-site"};
    std::optional<std::string> saved_;
};

TEST_F(HomeTrash, TheFileMovesWithAnInfoFileAndASecondOfTheSameNameIsKeptApart) {
    EXPECT_EQ(pw::rtl::HomeTrashFolder(), data_.Path() + "/Trash");
    const std::string page = site_.File("site map%1.html");
    WriteFile(page, "first");
    const pw::rtl::TrashResult first = pw::rtl::MoveToTrash(page);
    ASSERT_TRUE(first.moved) << first.error;
    EXPECT_FALSE(FileExists(page));
    EXPECT_EQ(first.trashedPath, data_.Path() + "/Trash/files/site map%1.html");
    EXPECT_EQ(ReadFile(first.trashedPath), "first");
    EXPECT_EQ(first.infoPath, data_.Path() + "/Trash/info/site map%1.html.trashinfo");
    const std::string info = ReadFile(first.infoPath);
    EXPECT_TRUE(std::regex_match(info, std::regex("\\[Trash Info\\]\nPath=" + site_.Path() +
                                                  "/site%20map%251\\.html\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT"
                                                  "\\d\\d:\\d\\d:\\d\\d\n")))
        << info;
    struct stat st {};
    ASSERT_EQ(stat((data_.Path() + "/Trash").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    WriteFile(page, "second");
    const pw::rtl::TrashResult second = pw::rtl::MoveToTrash(page);
    ASSERT_TRUE(second.moved) << second.error;
    EXPECT_EQ(second.trashedPath, data_.Path() + "/Trash/files/site map%1.2.html");
    EXPECT_EQ(ReadFile(second.trashedPath), "second");
    EXPECT_EQ(ReadFile(first.trashedPath), "first") << "the first one is kept";
    EXPECT_TRUE(FileExists(second.infoPath));
}

TEST_F(HomeTrash, WhatCannotBeTrashedStaysWhereItIs) {
    const pw::rtl::TrashResult missing = pw::rtl::MoveToTrash(site_.File("gone.html"));
    EXPECT_FALSE(missing.moved);
    EXPECT_NE(missing.error.find("gone.html"), std::string::npos);

    // An info folder the program may not write to: no name can be reserved, so the file stays.
    const std::string page = site_.File("page.html");
    WriteFile(page, "kept");
    ASSERT_TRUE(ForceDirectories(data_.Path() + "/Trash/files"));
    WriteFile(data_.Path() + "/Trash/info", "a file where the folder should be");
    const pw::rtl::TrashResult refused = pw::rtl::MoveToTrash(page);
    EXPECT_FALSE(refused.moved);
    EXPECT_EQ(ReadFile(page), "kept");
}

TEST_F(HomeTrash, AFileOnAnotherVolumeGoesToThatVolumesTrash) {
    struct stat shm {
    }, home{};
    if (stat("/dev/shm", &shm) != 0 || stat(data_.Path().c_str(), &home) != 0 || shm.st_dev == home.st_dev)
        GTEST_SKIP() << "no second volume to write on";
    const std::string volumeTrash = "/dev/shm/.Trash-" + std::to_string(getuid());
    const bool hadTrash = std::filesystem::exists(volumeTrash);
    char pattern[] = "/dev/shm/pw-volume-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string there = pattern;
    const std::string page = there + "/page.html";
    WriteFile(page, "volume");
    const pw::rtl::TrashResult result = pw::rtl::MoveToTrash(page);
    ASSERT_TRUE(result.moved) << result.error;
    EXPECT_EQ(ExtractFileDir(ExtractFileDir(result.trashedPath)), volumeTrash);
    EXPECT_EQ(ReadFile(result.trashedPath), "volume");
    // Inside a volume's trash the path is told from the volume's top.
    const std::string relative = there.substr(std::string("/dev/shm/").size()) + "/page.html";
    EXPECT_NE(ReadFile(result.infoPath).find("\nPath=" + relative + "\n"), std::string::npos);
    std::filesystem::remove(result.trashedPath);
    std::filesystem::remove(result.infoPath);
    std::filesystem::remove_all(there);
    if (!hadTrash) std::filesystem::remove_all(volumeTrash);
}

// A .Trash at a volume's top is shared by its users only when it is a sticky folder (no user can then
// remove another's files): anything else there is passed over for the user's own .Trash-$uid.
TEST(VolumeTrash, ASharedTrashIsUsedOnlyWhenItIsAStickyFolderAndNoLink) {
    TempDir top{"pw-top"};
    const std::string uid = std::to_string(getuid());
    const std::string shared = top.File(".Trash"), own = top.File(".Trash-" + uid);
    ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(chmod(shared.c_str(), 0777), 0);
    EXPECT_EQ(pw::rtl::VolumeTrashFolder(top.Path()), own);
    EXPECT_FALSE(std::filesystem::exists(shared + "/" + uid));

    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    EXPECT_EQ(pw::rtl::VolumeTrashFolder(top.Path()), shared + "/" + uid);
    EXPECT_TRUE(std::filesystem::is_directory(shared + "/" + uid + "/files"));
    EXPECT_TRUE(std::filesystem::is_directory(shared + "/" + uid + "/info"));

    // A link to that same sticky folder is not the administrator's.
    ASSERT_EQ(std::rename(shared.c_str(), top.File("sticky").c_str()), 0);
    ASSERT_EQ(symlink("sticky", shared.c_str()), 0);
    EXPECT_EQ(pw::rtl::VolumeTrashFolder(top.Path()), own);
}

} // namespace
