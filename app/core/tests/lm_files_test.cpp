#include "app/core/lm_files.h"
#include "app/core/output_names.h"
#include "app/core/shell_errors.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/paths.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <utime.h>

namespace {

using namespace appcore_test;
namespace fs = std::filesystem;

TEST(LmFiles, FileTypesMatchByExtensionWithoutLetterCase) {
    const std::string types = "*.htm;*.html;";
    EXPECT_TRUE(IsFileTypeInList("index.HTM", types));
    EXPECT_TRUE(IsFileTypeInList("a.HTML", types));
    EXPECT_FALSE(IsFileTypeInList("index.htm", "*.html;"));
    EXPECT_TRUE(IsFileTypeInList("/site/v1.2/page.PhP", "*.PHP;"));
    // The extension is the name's, not a dotted folder's.
    EXPECT_FALSE(IsFileTypeInList("/site/v1.htm/readme", types));
    EXPECT_TRUE(IsFileTypeInList("/site/v1.htm/readme", "*;"));
    EXPECT_FALSE(IsFileTypeInList("readme", types));
    EXPECT_FALSE(IsFileTypeInList("page.ht", types));
    // A last entry without its ";" still counts.
    EXPECT_TRUE(IsFileTypeInList("a.pdf", "*.htm;*.pdf"));
    EXPECT_FALSE(IsFileTypeInList("a.pd", "*.htm;*.pdf"));
    EXPECT_FALSE(IsFileTypeInList("a.htm", ""));
}

TEST(LmFiles, FolderAndNameHelpers) {
    EXPECT_EQ(IncludeBackslash(""), "");
    EXPECT_EQ(IncludeBackslash("/a"), "/a/");
    EXPECT_EQ(IncludeBackslash("/a/"), "/a/");
    EXPECT_EQ(ProgramFolder(), ProgramDir());
    EXPECT_EQ(ProgramFolder().back(), '/');
    EXPECT_TRUE(HasInvalidFileNameChars("a:b"));
    EXPECT_TRUE(HasInvalidFileNameChars("a|b"));
    EXPECT_TRUE(HasInvalidFileNameChars("a\\b"));
    EXPECT_FALSE(HasInvalidFileNameChars("my site.html"));
    EXPECT_EQ(XmlFileNameFor("/out/sitemap.html"), "/out/sitemap.xml");
    EXPECT_EQ(XmlFileNameFor("/out.d/sitemap"), "/out.d/sitemap.xml");
}

TEST(LmFiles, WholeFilesAndAppendedLines) {
    TempDir dir;
    const std::string file = dir / "out.txt";
    EXPECT_THROW(AppendLine("x", file), EInOutError); // only an existing file is appended to
    EXPECT_FALSE(fs::exists(file));

    EXPECT_TRUE(WriteStringToFile(std::string("first\0bytes", 11), file));
    EXPECT_EQ(ReadFileText(file), std::string("first\0bytes", 11));
    EXPECT_TRUE(AppendLine("second", file));
    EXPECT_TRUE(AppendLine("", file));
    EXPECT_EQ(ReadFileText(file), std::string("first\0bytes", 11) + "second\r\n\r\n");

    // A write that cannot finish keeps the previous file.
    const std::string locked = dir / "locked";
    fs::create_directory(locked);
    WriteStringToFile("old", locked + "/f");
    chmod(locked.c_str(), 0500);
    if (geteuid() != 0) {
        EXPECT_THROW(WriteStringToFile("new", locked + "/f"), EFCreateError);
        EXPECT_EQ(ReadFileText(locked + "/f"), "old");
    }
    EXPECT_THROW(WriteStringToFile("new", dir / "missing/f"), EFCreateError);
    EXPECT_THROW(ReadFileText(dir / "missing"), EFOpenError);
}

TEST(LmFiles, FileDateIsTheLastWriteOrNow) {
    TempDir dir;
    const std::string file = dir / "f";
    WriteAll(file, "x");
    utimbuf times{};
    times.actime = times.modtime = 1'000'000'000; // 2001-09-09 01:46:40 UTC
    utime(file.c_str(), &times);
    ScopedEnv tz("TZ", "UTC");
    tzset();
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", FileDate(file)), "2001-09-09 01:46:40");
    const TDateTime before = Now();
    const TDateTime missing = FileDate(dir / "missing");
    EXPECT_GE(missing, before - 1.0 / 86400);
    EXPECT_LE(missing, Now() + 1.0 / 86400);
}

TEST(LmFiles, DesktopFromUserDirsElseHome) {
    UserFolders folders;
    const std::string home = folders.root() / "home";
    EXPECT_EQ(DesktopFolder(), home);

    fs::create_directories(folders.root().path() / "config");
    WriteAll(folders.root() / "config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
             "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(DesktopFolder(), home) << "a desktop that does not exist falls back to home";
    fs::create_directories(home + "/Schreibtisch");
    EXPECT_EQ(DesktopFolder(), home + "/Schreibtisch");

    fs::create_directories(folders.root() / "abs");
    WriteAll(folders.root() / "config/user-dirs.dirs",
             "XDG_DESKTOP_DIR=\"" + (folders.root() / "abs/") + "\"\n");
    EXPECT_EQ(DesktopFolder(), folders.root() / "abs");
}

TEST(ShellErrors, TextsByCode) {
    EXPECT_EQ(ShellErrorMessage(2), "Unable to execute file:\n\nThe specified file was not found.");
    EXPECT_EQ(ShellErrorText(0), "The operating system is out of memory or resources.");
    EXPECT_EQ(ShellErrorText(31), "There is no application associated with the given filename extension.");
    EXPECT_EQ(ShellErrorText(32), "The specified dynamic-link library was not found.");
    EXPECT_EQ(ShellErrorText(1),
              "An unknown error occurred when trying to load file in associated application.");
    EXPECT_EQ(ShellErrorText(-5), ShellErrorText(1));
    EXPECT_EQ(ShellErrorMessage(33), "");
    EXPECT_EQ(ShellErrorMessage(42), "");
}

} // namespace
