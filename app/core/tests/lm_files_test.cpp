#include "app/core/lm_files.h"
#include "app/core/output_names.h"
#include "app/core/shell_errors.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/exception.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>
#include <utime.h>

namespace {

using namespace appcore_test;
namespace fs = std::filesystem;

TEST(LmFiles, FileTypesMatchByTheNamesExtensionWithoutLetterCase) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"index.HTM", "*.htm;*.html;", true},
        {"index.htm", "*.html;", false},
        {"/site/v1.2/page.PhP", "*.PHP;", true},
        {"/site/v1.htm/readme", "*.htm;*.html;", false}, // a dotted folder is no extension
        {"/site/v1.htm/readme", "*;", true},
        {"page.ht", "*.htm;", false},
        {"a.pdf", "*.htm;*.pdf", true}, // a last entry without its ";" still counts
        {"a.pd", "*.htm;*.pdf", false},
        {"a.htm", "", false},
    };
    for (const auto& [name, types, matches] : cases)
        EXPECT_EQ(IsFileTypeInList(name, types), matches) << name << " in " << types;
}

TEST(LmFiles, FolderAndNameHelpers) {
    EXPECT_EQ(IncludeBackslash(""), "");
    EXPECT_EQ(IncludeBackslash("/a"), "/a/");
    EXPECT_EQ(IncludeBackslash("/a/"), "/a/");
    EXPECT_EQ(ProgramFolder().back(), '/');
    EXPECT_TRUE(HasInvalidFileNameChars("a:b"));
    EXPECT_TRUE(HasInvalidFileNameChars("a\\b"));
    EXPECT_FALSE(HasInvalidFileNameChars("my site.html"));
    EXPECT_EQ(XmlFileNameFor("/out/sitemap.html"), "/out/sitemap.xml");
    EXPECT_EQ(XmlFileNameFor("/out.d/sitemap"), "/out.d/sitemap.xml");
}

TEST(LmFiles, WholeFilesAppendedLinesAndDates) {
    TempDir dir;
    const std::string file = dir / "out.txt";
    EXPECT_THROW(AppendLine("x", file), EInOutError); // only an existing file is appended to
    EXPECT_FALSE(fs::exists(file));
    const std::string bytes("first\0bytes", 11);
    EXPECT_TRUE(WriteStringToFile(bytes, file));
    EXPECT_TRUE(AppendLine("second", file));
    EXPECT_TRUE(AppendLine("", file));
    EXPECT_EQ(ReadFileText(file), bytes + "second\r\n\r\n");
    EXPECT_THROW(WriteStringToFile("new", dir / "missing/f"), EFCreateError);
    EXPECT_THROW(ReadFileText(dir / "missing"), EFOpenError);

    // The date is the last write, or now for a file that is not there.
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

TEST(ShellErrors, TextsByCode) {
    EXPECT_EQ(ShellErrorMessage(2), "Unable to execute file:\n\nThe specified file was not found.");
    EXPECT_EQ(ShellErrorText(0), "The operating system is out of memory or resources.");
    EXPECT_EQ(ShellErrorText(32), "The specified dynamic-link library was not found.");
    EXPECT_EQ(ShellErrorText(-5),
              "An unknown error occurred when trying to load file in associated application.");
    EXPECT_EQ(ShellErrorMessage(33), "");
    EXPECT_EQ(
        ShellErrorMessage(31, "/site/map.html"),
        "Unable to execute file:\n\n/site/map.html\n\nThere is no application associated with the given "
        "filename extension.");
    EXPECT_EQ(ShellErrorMessage(42, "/site/map.html"), "");
}

} // namespace
