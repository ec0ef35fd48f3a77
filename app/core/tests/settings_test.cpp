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

TEST(SiteMapSettings, SavedAndReadInTheUsersConfigFolder) {
    UserFolders folders;
    const std::string path = folders.ConfigDir() + "SiteMap.dat";
    EXPECT_EQ(SettingsFilePath(), path);

    TSiteMapSettings fresh;
    EXPECT_EQ(fresh.SettingFile(), path);
    LoadSettings(fresh); // no file yet: the values of creation
    EXPECT_EQ(fresh.LastFile(), "");
    EXPECT_FALSE(fresh.LoadLast());

    fresh.SetLastFile("/home/u/site.qpw");
    fresh.SetLoadLast(true);
    SaveSettings(fresh); // creates the folder
    EXPECT_EQ(ReadAll(path), "TPF0" + ShortString("TSiteMapSettings") + std::string(1, '\0') +
                                 ShortString("LastFile") + "\x06" + ShortString("/home/u/site.qpw") +
                                 ShortString("LoadLast") + "\x09" + ShortString("SettingFile") + "\x06" +
                                 ShortString(path) + std::string(2, '\0'));

    TSiteMapSettings read;
    LoadSettings(read);
    EXPECT_EQ(read.LastFile(), "/home/u/site.qpw");
    EXPECT_TRUE(read.LoadLast());
}

TEST(SiteMapSettings, AStoredPathFromElsewhereIsNotFollowed) {
    UserFolders folders;
    TempDir elsewhere;
    fs::create_directories(folders.ConfigDir());
    {
        // A file as an older installation wrote it, naming its own folder.
        TSiteMapSettings old;
        old.SetSettingFile(elsewhere / "SiteMap.dat");
        old.SetLastFile("/a.qpw");
        TFileStream stream(folders.ConfigDir() + "SiteMap.dat", fmCreate);
        WriteComponent(stream, &old);
    }
    TSiteMapSettings s;
    LoadSettings(s);
    EXPECT_EQ(s.LastFile(), "/a.qpw");
    EXPECT_EQ(s.SettingFile(), folders.ConfigDir() + "SiteMap.dat");
    s.SetLastFile("/b.qpw");
    SaveSettings(s);
    EXPECT_FALSE(fs::exists(elsewhere / "SiteMap.dat"));
    EXPECT_NE(ReadAll(folders.ConfigDir() + "SiteMap.dat").find("/b.qpw"), std::string::npos);
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
    WriteAll(path, "garbage");
    try {
        LoadSettings(s);
        ADD_FAILURE() << "read";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid stream format");
    }

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
    EXPECT_EQ(ReadAll(path), "garbage");
    EXPECT_TRUE(TrySaveSettings(s, error));
}

} // namespace
