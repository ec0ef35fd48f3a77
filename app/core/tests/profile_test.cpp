#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/profile_texts.h"
#include "app/core/site_map_settings.h"
#include "platform/rtl/exception.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace appcore_test;
namespace fs = std::filesystem;

std::string Golden(const std::string& name) {
    return ReadAll(std::string(PW_TEST_DATA_DIR) + "/golden/" + name);
}

// The profile a new main window shows, with an output path that does not depend on this machine.
void MakeStandard(TMapProfile& p) {
    ApplyNewProfileDefaults(p);
    p.SetOutputFileName("/home/user/Desktop/sitemap.html");
    p.SetModified(false);
}

TEST(MapProfile, SettersFlagChangesAndTheFileNameTitlesTheProfile) {
    UserFolders folders;
    TMapProfile p;
    EXPECT_FALSE(p.Modified());
    EXPECT_TRUE(p.Untitled());
    EXPECT_EQ(p.FileName(), "Untitled.qpw");
    EXPECT_EQ(p.OutputFileName(), (folders.root() / "home") + "/sitemap.html");
    EXPECT_EQ(p.clrLink(), clBlue);
    EXPECT_EQ(p.DefFreq(), cfMonthly);
    EXPECT_EQ(p.DefPri(), 0.5);

    p.SetAddImages(true);
    p.SetDefPri(0.5);
    p.SetclrText(clBlack);
    p.SetIgnoreFolders("");
    EXPECT_FALSE(p.Modified()) << "writing the value a property already has is no change";
    p.SetDefFreq(cfDaily);
    EXPECT_TRUE(p.Modified());
    p.SetModified(false);
    p.SetIgnoreFiles("a.html");
    EXPECT_TRUE(p.Modified());

    p.SetModified(false);
    p.SetFileName("/x/site.qpw");
    EXPECT_FALSE(p.Untitled());
    EXPECT_FALSE(p.Modified());

    p.SetFollowQueryText("id=\r\nsid=\r\n");
    EXPECT_TRUE(p.Modified());
    EXPECT_EQ(p.FollowQueryParts()->Count(), 2);
    p.SetModified(false);
    p.SetFollowQueryText("id=\r\nsid=\r\n");
    EXPECT_FALSE(p.Modified()) << "the whole text is compared";
    p.SetFollowQueryText("id=\r\n");
    EXPECT_TRUE(p.Modified());
    EXPECT_EQ(p.FollowQueryParts()->Count(), 1);
}

TEST(ProfileFile, WritesTheGoldenBytes) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p);
    p.SetFileName(folders.root() / "site.qpw");
    SaveProfileFile(p, nullptr);
    const std::string bytes = ReadAll(p.FileName());
    // The golden file names another path; everything before and after the file name matches.
    std::string golden = Golden("standard.qpw");
    const std::string goldenName = "/tmp/site.qpw";
    const size_t at = golden.find(goldenName);
    ASSERT_NE(at, std::string::npos);
    golden.replace(at, goldenName.size(), p.FileName());
    golden[at - 1] = static_cast<char>(p.FileName().size());
    EXPECT_EQ(bytes, golden);
    EXPECT_FALSE(p.Modified());

    // Colours with a name are written as identifiers, others as the smallest integer.
    p.SetclrBackground(clBtnFace);
    p.SetclrText(0x123456);
    p.SetclrLink(-1);
    SaveProfileFile(p, nullptr);
    const std::string coloured = ReadAll(p.FileName());
    EXPECT_NE(coloured.find(std::string("\x0D"
                                        "clrBackground\x07\x09"
                                        "clBtnFace")),
              std::string::npos);
    EXPECT_NE(coloured.find(std::string("\x07"
                                        "clrText\x04\x56\x34\x12\x00",
                                        13)),
              std::string::npos);
    EXPECT_NE(coloured.find(std::string("\x07"
                                        "clrLink\x02\xFF")),
              std::string::npos);
}

TEST(ProfileFile, APriorityOfZeroSurvivesAReload) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p);
    p.SetDefPri(0);
    p.SetFileName(folders.root() / "zero.qpw");
    SaveProfileFile(p, nullptr);
    EXPECT_NE(ReadAll(p.FileName())
                  .find(std::string("\x06"
                                    "DefPri\x05"
                                    "\0\0\0\0\0\0\0\0\0\0",
                                    18)),
              std::string::npos);
    TMapProfile loaded;
    LoadProfileFile(loaded, p.FileName(), nullptr);
    EXPECT_EQ(loaded.DefPri(), 0.0);
}

TEST(ProfileFile, LoadingStartsFromANewProfile) {
    UserFolders folders;
    TMapProfile blank;
    MakeStandard(blank);
    blank.SetFileName(folders.root() / "blank.qpw");
    blank.SetMakeGoogleSM(false);
    SaveProfileFile(blank, nullptr);

    TMapProfile current;
    MakeStandard(current);
    current.SetIgnoreFolders("http://a/private/");
    current.SetIgnoreFiles("http://a/x.html");
    current.SetIndexPage("/var/www/index.html");
    current.SetOutputInsert("/tmp/insert.html");
    current.SetServerName("server A");
    current.SetWebsite("http://a/");
    current.SetFileTypes("*.txt;");
    current.SetFollowQueryText("id=");
    current.SetSpiderType(mstLocal);
    LoadProfileFile(current, blank.FileName(), nullptr);

    EXPECT_EQ(current.IgnoreFolders(), "");
    EXPECT_EQ(current.IgnoreFiles(), "");
    EXPECT_EQ(current.IndexPage(), "");
    EXPECT_EQ(current.OutputInsert(), "");
    EXPECT_EQ(current.ServerName(), "");
    EXPECT_EQ(current.Website(), "http://");
    EXPECT_EQ(current.FileTypes(), profile_text::DefaultFileTypes);
    EXPECT_EQ(current.FollowQueryParts()->Count(), 0);
    EXPECT_EQ(current.SpiderType(), mstWebsite);
    EXPECT_EQ(current.FileName(), blank.FileName());
    EXPECT_TRUE(current.MakeGoogleSM()) << "the sitemap switch is on after every load";
}

TEST(ProfileFile, LoadAndSaveAgreeOnForcedValues) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p);
    p.SetOutputFormat(mfmtTree);
    p.SetClassAttribs(false);
    p.SetNoFolderLinks(true);
    p.SetOutputType(moutClipboard);
    p.SetFileName(folders.root() / "forced.qpw");
    SaveProfileFile(p, nullptr);
    EXPECT_FALSE(p.NoFolderLinks());
    EXPECT_EQ(p.OutputFormat(), mfmtList);
    EXPECT_TRUE(p.ClassAttribs());
    const std::string saved = ReadAll(p.FileName());
    EXPECT_NE(saved.find(std::string("\x0D"
                                     "NoFolderLinks\x08")),
              std::string::npos);

    TMapProfile loaded;
    LoadProfileFile(loaded, p.FileName(), nullptr);
    EXPECT_FALSE(loaded.NoFolderLinks());
    EXPECT_TRUE(loaded.Modified()) << "showing the profile is what makes it clean";
    ApplyShownProfile(loaded);
    EXPECT_EQ(loaded.OutputType(), moutFile);
    EXPECT_FALSE(loaded.Modified());

    // The value stays the same through any number of loads and saves.
    SaveProfileFile(loaded, nullptr);
    LoadProfileFile(loaded, p.FileName(), nullptr);
    EXPECT_FALSE(loaded.NoFolderLinks());
    EXPECT_NE(ReadAll(p.FileName())
                  .find(std::string("\x0D"
                                    "NoFolderLinks\x08")),
              std::string::npos);
}

TEST(ProfileFile, TheFileNameIsThePathOpened) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p);
    p.SetFileName(folders.root() / "old.qpw");
    SaveProfileFile(p, nullptr);
    fs::create_directories(folders.root().path() / "moved");
    fs::rename(folders.root() / "old.qpw", folders.root() / "moved/new.qpw");

    TSiteMapSettings settings;
    TMapProfile loaded;
    LoadProfileFile(loaded, folders.root() / "moved/new.qpw", &settings);
    EXPECT_EQ(loaded.FileName(), folders.root() / "moved/new.qpw");
    EXPECT_FALSE(loaded.Untitled());
    EXPECT_EQ(settings.LastFile(), loaded.FileName());
    loaded.SetWebsite("http://changed/");
    SaveProfileFile(loaded, &settings);
    EXPECT_FALSE(fs::exists(folders.root() / "old.qpw")) << "a save never goes back to the stored path";
}

TEST(ProfileFile, AFailedLoadLeavesEverythingAsItWas) {
    UserFolders folders;
    TMapProfile good;
    MakeStandard(good);
    good.SetFileName(folders.root() / "good.qpw");
    good.SetWebsite("http://good/");
    SaveProfileFile(good, nullptr);
    const std::string bytes = ReadAll(good.FileName());

    WriteAll(folders.root() / "cut.qpw", bytes.substr(0, bytes.size() / 2));
    WriteAll(folders.root() / "bad.qpw", "TPF1" + bytes.substr(4));
    std::string unknown = bytes;
    unknown.replace(unknown.find("ConfirmDelete"), 13, "ConfirmDeleteX");
    unknown[unknown.find("ConfirmDeleteX") - 1] = 14;
    WriteAll(folders.root() / "unknown.qpw", unknown);

    TSiteMapSettings settings;
    settings.SetLastFile("/previous.qpw");
    TMapProfile current;
    MakeStandard(current);
    current.SetWebsite("http://current/");
    current.SetIgnoreFiles("keep");
    current.SetModified(false);

    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {folders.root() / "cut.qpw", ""},
        {folders.root() / "bad.qpw", "Invalid stream format"},
        {folders.root() / "unknown.qpw", "Property ConfirmDeleteX does not exist"},
        {folders.root() / "missing.qpw", "Cannot open file " + (folders.root() / "missing.qpw")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        try {
            LoadProfileFile(current, c.file, &settings);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            if (!c.message.empty()) {
                EXPECT_EQ(e.Message(), c.message);
            }
        }
        EXPECT_EQ(current.Website(), "http://current/");
        EXPECT_EQ(current.IgnoreFiles(), "keep");
        EXPECT_TRUE(current.Untitled());
        EXPECT_FALSE(current.Modified());
        EXPECT_EQ(settings.LastFile(), "/previous.qpw");
    }
}

TEST(ProfileFile, AFailedSaveKeepsTheOldFileAndTheChanges) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p);
    p.SetFileName(folders.root() / "site.qpw");
    SaveProfileFile(p, nullptr);
    const std::string before = ReadAll(p.FileName());

    // A folder where the file should be: the rename over it fails after the bytes were written.
    TSiteMapSettings settings;
    TMapProfile other;
    MakeStandard(other);
    fs::create_directories(folders.root().path() / "taken.qpw/inside");
    other.SetFileName(folders.root() / "taken.qpw");
    other.SetWebsite("http://new/");
    EXPECT_THROW(SaveProfileFile(other, &settings), EFCreateError);
    EXPECT_TRUE(other.Modified());
    EXPECT_EQ(settings.LastFile(), "");
    EXPECT_TRUE(fs::is_directory(folders.root().path() / "taken.qpw/inside"));
    other.SetFileName(folders.root() / "no such folder/site.qpw");
    try {
        SaveProfileFile(other, &settings);
        ADD_FAILURE() << "saved";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + other.FileName());
    }
    EXPECT_EQ(settings.LastFile(), "");

    if (geteuid() != 0) {
        chmod(folders.root().path().c_str(), 0500);
        p.SetWebsite("http://new/");
        EXPECT_THROW(SaveProfileFile(p, &settings), EFCreateError);
        EXPECT_EQ(ReadAll(p.FileName()), before);
        chmod(folders.root().path().c_str(), 0700);
    }
    EXPECT_EQ(ReadAll(p.FileName()), before);
}

TEST(ProfileFile, DialogDecisions) {
    UserFolders folders;
    TSiteMapSettings settings;
    TMapProfile p;
    MakeStandard(p);

    auto start = SaveAsDialogStart(p);
    EXPECT_EQ(start.InitialDir, folders.ConfigDir() + "Profiles/");
    EXPECT_EQ(start.FileName, "Untitled.qpw");
    EXPECT_EQ(OpenDialogStart(p).InitialDir, "") << "neither the profile's folder nor Profiles exists yet";

    // Saving an untitled profile asks for a name; Cancel changes nothing.
    p.SetWebsite("http://site/");
    int asked = 0;
    EXPECT_FALSE(SaveCurrentProfile(p, &settings, [&](const TProfileDialogStart&) {
        ++asked;
        return std::optional<std::string>();
    }));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(p.Untitled());
    EXPECT_TRUE(p.Modified());
    EXPECT_TRUE(fs::is_directory(folders.ConfigDir() + "Profiles"));
    EXPECT_EQ(OpenDialogStart(p).InitialDir, folders.ConfigDir() + "Profiles/");

    const std::string chosen = folders.ConfigDir() + "Profiles/mine.qpw";
    EXPECT_TRUE(SaveCurrentProfile(p, &settings, [&](const TProfileDialogStart& s) {
        EXPECT_EQ(s.FileName, "Untitled.qpw");
        return std::optional<std::string>(chosen);
    }));
    EXPECT_EQ(p.FileName(), chosen);
    EXPECT_FALSE(p.Untitled());
    EXPECT_FALSE(p.Modified());
    EXPECT_EQ(settings.LastFile(), chosen);
    EXPECT_TRUE(fs::exists(chosen));
    start = OpenDialogStart(p);
    EXPECT_EQ(start.InitialDir, folders.ConfigDir() + "Profiles/");
    EXPECT_EQ(start.FileName, chosen);
    EXPECT_EQ(SaveAsDialogStart(p).FileName, chosen);

    // A titled profile saves without asking.
    p.SetServerDir("/www");
    EXPECT_TRUE(
        SaveCurrentProfile(p, &settings, [](const TProfileDialogStart&) -> std::optional<std::string> {
            ADD_FAILURE() << "asked";
            return std::nullopt;
        }));

    // The question before replacing a profile: Yes goes on only when the save succeeds.
    auto resolve = [&p](TSaveAnswer answer, bool saved, int& saves) {
        return ResolveModifiedProfile(
            p, [answer] { return answer; },
            [&saves, saved] {
                ++saves;
                return saved;
            });
    };
    int saves = 0;
    EXPECT_TRUE(resolve(TSaveAnswer::Cancel, true, saves)) << "clean: not asked";
    p.SetServerDir("/other");
    EXPECT_FALSE(resolve(TSaveAnswer::Cancel, true, saves));
    EXPECT_TRUE(resolve(TSaveAnswer::No, true, saves));
    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(resolve(TSaveAnswer::Yes, false, saves));
    EXPECT_TRUE(resolve(TSaveAnswer::Yes, true, saves));
    EXPECT_EQ(saves, 2);
}

TEST(ProfileFile, SavedAfterOutput) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p);
    p.SetOutputFileName(folders.root() / "out/sitemap.html");
    SaveProfileAfterOutput(p, nullptr);
    EXPECT_TRUE(p.Untitled()) << "no output file, nothing saved";

    fs::create_directories(folders.root().path() / "out");
    WriteAll(folders.root() / "out/sitemap.html", "<html>");
    SaveProfileAfterOutput(p, nullptr);
    EXPECT_EQ(p.FileName(), folders.root() / "out/sitemap.qpw");
    EXPECT_TRUE(fs::exists(p.FileName()));
    EXPECT_FALSE(p.Untitled());
    EXPECT_FALSE(p.Modified());
}

TEST(ProfileFile, AnExistingProfileBesideTheOutputIsReplacedOnlyWithAYes) {
    UserFolders folders;
    fs::create_directories(folders.root().path() / "out");
    WriteAll(folders.root() / "out/sitemap.html", "<html>");
    WriteAll(folders.root() / "out/sitemap.qpw", "someone else's profile");
    auto fresh = [&] {
        auto p = std::make_unique<TMapProfile>();
        MakeStandard(*p);
        p->SetOutputFileName(folders.root() / "out/sitemap.html");
        return p;
    };
    auto unattended = fresh();
    SaveProfileAfterOutput(*unattended, nullptr);
    EXPECT_TRUE(unattended->Untitled());
    EXPECT_EQ(ReadAll(folders.root() / "out/sitemap.qpw"), "someone else's profile");

    std::string asked;
    auto refused = fresh();
    SaveProfileAfterOutput(*refused, nullptr, [&](const std::string& name) {
        asked = name;
        return false;
    });
    EXPECT_EQ(asked, folders.root() / "out/sitemap.qpw");
    EXPECT_TRUE(refused->Untitled());
    EXPECT_EQ(ReadAll(folders.root() / "out/sitemap.qpw"), "someone else's profile");

    auto agreed = fresh();
    SaveProfileAfterOutput(*agreed, nullptr, [](const std::string&) { return true; });
    EXPECT_FALSE(agreed->Untitled());
    EXPECT_NE(ReadAll(folders.root() / "out/sitemap.qpw"), "someone else's profile");
}

} // namespace
