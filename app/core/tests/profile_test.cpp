#include "app/core/map_profile.h"
#include "app/core/profile_file.h"
#include "app/core/profile_texts.h"
#include "app/core/site_map_settings.h"
#include "platform/rtl/exception.h"

#include "test_env.h"
#include "tests/support/pipe_unblocker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using namespace appcore_test;
namespace fs = std::filesystem;

// The profile a new main window shows, with an output path that does not depend on this machine.
void MakeStandard(TMapProfile& p, const std::string& fileName = "") {
    ApplyNewProfileDefaults(p);
    p.SetOutputFileName("/home/user/Desktop/sitemap.html");
    if (!fileName.empty()) p.SetFileName(fileName);
    p.SetModified(false);
}

TEST(MapProfile, OnlyRealChangesFlagTheProfile) {
    UserFolders folders;
    TMapProfile p;
    EXPECT_TRUE(p.Untitled());
    EXPECT_EQ(p.OutputFileName(), (folders.root() / "home") + "/sitemap.html");
    p.SetAddImages(true);
    p.SetIgnoreFolders("");
    EXPECT_FALSE(p.Modified()) << "writing the value a property already has is no change";
    p.SetDefFreq(cfDaily);
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
}

TEST(ProfileFile, WritesTheGoldenBytes) {
    UserFolders folders;
    TMapProfile p;
    MakeStandard(p, folders.root() / "site.qpw");
    SaveProfileFile(p, nullptr);
    // The golden file names another path; everything before and after the file name matches.
    std::string golden = ReadAll(std::string(PW_TEST_DATA_DIR) + "/golden/standard.qpw");
    const std::string goldenName = "/tmp/site.qpw";
    const size_t at = golden.find(goldenName);
    ASSERT_NE(at, std::string::npos);
    golden.replace(at, goldenName.size(), p.FileName());
    golden[at - 1] = static_cast<char>(p.FileName().size());
    EXPECT_EQ(ReadAll(p.FileName()), golden);
    EXPECT_FALSE(p.Modified());
}

TEST(ProfileFile, LoadStartsFromANewProfileUnderThePathOpenedWithTheForcedValues) {
    UserFolders folders;
    TMapProfile saved;
    MakeStandard(saved, folders.root() / "old.qpw");
    saved.SetMakeGoogleSM(false);
    saved.SetOutputFormat(mfmtTree);
    saved.SetClassAttribs(false);
    saved.SetNoFolderLinks(true);
    saved.SetOutputType(moutClipboard);
    SaveProfileFile(saved, nullptr);
    // A save forces what a load forces, so the profile kept agrees with its file.
    EXPECT_FALSE(saved.NoFolderLinks());
    EXPECT_EQ(saved.OutputFormat(), mfmtList);
    EXPECT_TRUE(saved.ClassAttribs());
    EXPECT_TRUE(Contains(ReadAll(saved.FileName()), "\x0DNoFolderLinks\x08"));
    fs::create_directories(folders.root().path() / "moved");
    const std::string moved = folders.root() / "moved/new.qpw";
    fs::rename(saved.FileName(), moved);

    // Values the file leaves out do not survive from the profile shown before.
    TMapProfile current;
    MakeStandard(current);
    current.SetIgnoreFiles("http://a/x.html");
    current.SetFollowQueryText("id=");
    TSiteMapSettings settings;
    LoadProfileFile(current, moved, &settings);
    EXPECT_EQ(current.IgnoreFiles(), "");
    EXPECT_EQ(current.FollowQueryParts()->Count(), 0);
    EXPECT_EQ(current.FileName(), moved);
    EXPECT_FALSE(current.Untitled());
    EXPECT_EQ(settings.LastFile(), moved);
    EXPECT_TRUE(current.MakeGoogleSM()) << "the sitemap switch is on after every load";
    EXPECT_FALSE(current.NoFolderLinks());
    EXPECT_TRUE(current.Modified()) << "showing the profile is what makes it clean";
    ApplyShownProfile(current);
    EXPECT_EQ(current.OutputType(), moutFile);
    EXPECT_FALSE(current.Modified());

    current.SetWebsite("http://changed/");
    SaveProfileFile(current, &settings);
    EXPECT_FALSE(fs::exists(folders.root() / "old.qpw")) << "a save never goes back to the stored path";
    LoadProfileFile(current, moved, nullptr);
    EXPECT_EQ(current.Website(), "http://changed/");
}

TEST(ProfileFile, ANewProfileMakesTheSamePageAsAfterItsFirstSaveAndLoad) {
    UserFolders folders;
    TMapProfile fresh;
    MakeStandard(fresh, folders.root() / "fresh.qpw");
    const bool folderLinks = !fresh.NoFolderLinks();
    SaveProfileFile(fresh, nullptr);
    EXPECT_EQ(!fresh.NoFolderLinks(), folderLinks) << "saving changes how folders are written";
    TMapProfile loaded;
    LoadProfileFile(loaded, fresh.FileName(), nullptr);
    EXPECT_EQ(!loaded.NoFolderLinks(), folderLinks) << "loading changes how folders are written";
}

TEST(ProfileFile, AFailedLoadLeavesEverythingAsItWas) {
    UserFolders folders;
    TMapProfile good;
    MakeStandard(good, folders.root() / "good.qpw");
    SaveProfileFile(good, nullptr);
    const std::string bytes = ReadAll(good.FileName());
    WriteAll(folders.root() / "cut.qpw", bytes.substr(0, bytes.size() / 2));
    WriteAll(folders.root() / "bad.qpw", "TPF1" + bytes.substr(4));
    std::string unknown = bytes;
    unknown.replace(unknown.find("ConfirmDelete"), 13, "ConfirmDeleteX");
    unknown[unknown.find("ConfirmDeleteX") - 1] = 14;
    WriteAll(folders.root() / "unknown.qpw", unknown);
    fs::create_directory(folders.root() / "folder.qpw");
    ASSERT_EQ(mkfifo((folders.root() / "pipe.qpw").c_str(), 0600), 0);
    testsupport::PipeUnblocker unblocker(folders.root() / "pipe.qpw");

    TSiteMapSettings settings;
    settings.SetLastFile("/previous.qpw");
    TMapProfile current;
    MakeStandard(current);
    current.SetWebsite("http://current/");
    current.SetModified(false);
    const std::pair<std::string, std::string> cases[] = {
        {"cut.qpw", ""},
        {"bad.qpw", "Invalid stream format"},
        {"unknown.qpw", "Property ConfirmDeleteX does not exist"},
        {"missing.qpw", "Cannot open file " + (folders.root() / "missing.qpw") + ": there is no such file"},
        {"folder.qpw", "Cannot open file " + (folders.root() / "folder.qpw") + ": it is a folder"},
        {"pipe.qpw", "Cannot open file " + (folders.root() / "pipe.qpw") + ": it is a named pipe (FIFO)"},
    };
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file);
        try {
            LoadProfileFile(current, folders.root() / file, &settings);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& e) {
            EXPECT_TRUE(message.empty() || e.Message() == message) << e.Message();
        }
        EXPECT_EQ(current.Website(), "http://current/");
        EXPECT_TRUE(current.Untitled());
        EXPECT_FALSE(current.Modified());
        EXPECT_EQ(settings.LastFile(), "/previous.qpw");
    }
}

TEST(ProfileFile, AFailedSaveKeepsTheChanges) {
    UserFolders folders;
    TSiteMapSettings settings;
    TMapProfile p;
    MakeStandard(p);
    // A folder where the file should be: the rename over it fails after the bytes were written.
    fs::create_directories(folders.root().path() / "taken.qpw/inside");
    p.SetFileName(folders.root() / "taken.qpw");
    p.SetWebsite("http://new/");
    EXPECT_THROW(SaveProfileFile(p, &settings), EFCreateError);
    EXPECT_TRUE(p.Modified());
    EXPECT_TRUE(fs::is_directory(folders.root().path() / "taken.qpw/inside"));
    p.SetFileName(folders.root() / "no such folder/site.qpw");
    try {
        SaveProfileFile(p, &settings);
        ADD_FAILURE() << "saved";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot create file " + p.FileName());
    }
    EXPECT_EQ(settings.LastFile(), "");
}

TEST(ProfileFile, DialogsStartInTheProfilesFolderOnceItExists) {
    UserFolders folders;
    const std::string profiles = folders.ConfigDir() + "Profiles/";
    TSiteMapSettings settings;
    TMapProfile p;
    MakeStandard(p);
    EXPECT_EQ(SaveAsDialogStart(p).InitialDir, profiles);
    EXPECT_EQ(SaveAsDialogStart(p).FileName, "Untitled.qpw");
    EXPECT_EQ(OpenDialogStart(p).InitialDir, "") << "neither the profile's folder nor Profiles exists yet";

    // Saving an untitled profile makes the folder and asks for a name; Cancel changes nothing.
    p.SetWebsite("http://site/");
    int asked = 0;
    auto cancel = [&](const TProfileDialogStart&) { return ++asked, std::optional<std::string>(); };
    EXPECT_FALSE(SaveCurrentProfile(p, &settings, cancel));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(p.Untitled());
    EXPECT_TRUE(p.Modified());
    EXPECT_EQ(OpenDialogStart(p).InitialDir, profiles);

    const std::string chosen = profiles + "mine.qpw";
    EXPECT_TRUE(
        SaveCurrentProfile(p, &settings, [&](const TProfileDialogStart&) { return std::optional(chosen); }));
    EXPECT_FALSE(p.Modified());
    EXPECT_EQ(settings.LastFile(), chosen);
    EXPECT_EQ(OpenDialogStart(p).FileName, chosen);
    p.SetServerDir("/www");
    EXPECT_TRUE(SaveCurrentProfile(p, &settings, cancel)) << "a titled profile saves without asking";
    EXPECT_EQ(asked, 1);
}

TEST(ProfileFile, SavedBesideTheOutputButNeverOverAnotherProfileWithoutAYes) {
    UserFolders folders;
    const std::string page = folders.root() / "out/sitemap.html", beside = folders.root() / "out/sitemap.qpw";
    TMapProfile first, second;
    for (TMapProfile* p : {&first, &second}) {
        MakeStandard(*p);
        p->SetOutputFileName(page);
    }
    TMapProfile* p = &first;
    SaveProfileAfterOutput(*p, nullptr);
    EXPECT_TRUE(p->Untitled()) << "no output file, nothing saved";

    fs::create_directories(folders.root().path() / "out");
    WriteAll(page, "<html>");
    WriteAll(beside, "someone else's profile");
    SaveProfileAfterOutput(*p, nullptr);
    EXPECT_TRUE(p->Untitled()) << "unattended: not replaced";
    std::string asked;
    SaveProfileAfterOutput(*p, nullptr, [&](const std::string& name) { return asked = name, false; });
    EXPECT_EQ(asked, beside);
    EXPECT_TRUE(p->Untitled());
    EXPECT_EQ(ReadAll(beside), "someone else's profile");

    SaveProfileAfterOutput(*p, nullptr, [](const std::string&) { return true; });
    EXPECT_EQ(p->FileName(), beside);
    EXPECT_FALSE(p->Modified());
    EXPECT_NE(ReadAll(beside), "someone else's profile");
    fs::remove(beside);
    SaveProfileAfterOutput(second, nullptr);
    EXPECT_EQ(second.FileName(), beside) << "no profile there: saved without asking";
}

TEST(ProfileFile, TheSaveAfterARunLeavesAnUnchangedProfileAloneWhileASaveAskedForWrites) {
    UserFolders folders;
    const std::string file = folders.root() / "site.qpw";
    const auto inode = [&] {
        struct stat st {};
        ::stat(file.c_str(), &st);
        return st.st_ino;
    };
    TMapProfile p;
    MakeStandard(p);
    p.SetFileName(file);
    SaveProfileFile(p, nullptr);
    const std::string saved = ReadAll(file);
    const auto before = inode();
    SaveProfileAfterOutput(p, nullptr);
    EXPECT_EQ(inode(), before) << "the same bytes: not written again";
    p.SetServerDir("/www");
    SaveProfileAfterOutput(p, nullptr);
    EXPECT_NE(ReadAll(file), saved) << "a change is saved";
    const auto changed = inode();
    SaveProfileFile(p, nullptr);
    EXPECT_NE(inode(), changed) << "a save the user asks for writes";
}

} // namespace
