#include "app/core/site_map_settings.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace appcore_test;
namespace fs = std::filesystem;

std::string ShortString(const std::string& s) {
    return std::string(1, static_cast<char>(s.size())) + s;
}

TEST(SiteMapSettings, SavedAndReadInTheUsersConfigFolderOnly) {
    UserFolders folders;
    const std::string path = folders.ConfigDir() + "SiteMap.dat";
    TSiteMapSettings fresh;
    EXPECT_EQ(fresh.SettingFile(), path);
    LoadSettings(fresh); // no file yet: the values of creation
    EXPECT_EQ(fresh.LastFile(), "");

    fresh.SetLastFile("/home/u/site.qpw");
    fresh.SetLoadLast(true);
    SaveSettings(fresh); // creates the folder
    EXPECT_EQ(ReadAll(path), "TPF0" + ShortString("TSiteMapSettings") + std::string(1, '\0') +
                                 ShortString("LastFile") + "\x06" + ShortString("/home/u/site.qpw") +
                                 ShortString("LoadLast") + "\x09" + ShortString("SettingFile") + "\x06" +
                                 ShortString(path) + std::string(2, '\0'));

    // A file as an older installation wrote it, naming its own folder: read, but not followed.
    TempDir elsewhere;
    {
        TSiteMapSettings old;
        old.SetSettingFile(elsewhere / "SiteMap.dat");
        old.SetLastFile("/a.qpw");
        old.SetLoadLast(true);
        TFileStream stream(path, fmCreate);
        WriteComponent(stream, &old);
    }
    TSiteMapSettings read;
    LoadSettings(read);
    EXPECT_EQ(read.LastFile(), "/a.qpw");
    EXPECT_TRUE(read.LoadLast());
    EXPECT_EQ(read.SettingFile(), path);
    read.SetLastFile("/b.qpw");
    SaveSettings(read);
    EXPECT_FALSE(fs::exists(elsewhere / "SiteMap.dat"));
    EXPECT_TRUE(Contains(ReadAll(path), "/b.qpw"));
}

TEST(SiteMapSettings, FailuresReportWithoutDamage) {
    UserFolders folders;
    fs::create_directories(folders.ConfigDir());
    const std::string path = folders.ConfigDir() + "SiteMap.dat";
    WriteAll(path, "TPF0\x10TSiteMapSettings\x00\x08LastFile\x06\x02/x\x07Unknown\x08\x00\x00");
    TSiteMapSettings s;
    s.SetLastFile("/kept.qpw");
    EXPECT_THROW(LoadSettings(s), Exception);
    EXPECT_EQ(s.LastFile(), "/kept.qpw") << "a damaged file changes nothing";

    // The configuration folder's place is taken by a file: nothing can be written.
    TempDir blocked;
    WriteAll(blocked / "pathweaver", "not a folder");
    std::string error;
    {
        ScopedEnv config("XDG_CONFIG_HOME", blocked.path().string());
        EXPECT_FALSE(TrySaveSettings(s, error));
        EXPECT_EQ(error, "Cannot create file " + (blocked / "pathweaver/SiteMap.dat"));
        EXPECT_THROW(SaveSettings(s), EFCreateError);
    }
    EXPECT_TRUE(TrySaveSettings(s, error));
}

} // namespace
