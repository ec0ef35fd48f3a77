#include "platform/rtl/files.h"

#include "tests/support/temp_dir.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

TEST(FileNames, PartsOfAPath) {
    EXPECT_EQ(ExtractFilePath("/var/www/index.html"), "/var/www/");
    EXPECT_EQ(ExtractFilePath("index.html"), "");
    EXPECT_EQ(ExtractFileDir("/var/www/index.html"), "/var/www");
    EXPECT_EQ(ExtractFileDir("/index.html"), "/");
    EXPECT_EQ(ExtractFileName("/var/www/"), "");
    EXPECT_EQ(ExtractFileName("/var/www/a.b.html"), "a.b.html");
    EXPECT_EQ(ExtractFileExt("/var/www/a.b.HTML"), ".HTML");
    EXPECT_EQ(ExtractFileExt("/var/w.w/README"), ""); // a dot in a folder name is no extension
    EXPECT_EQ(ExtractFileExt("/home/u/.profile"), ".profile");
    EXPECT_EQ(ChangeFileExt("/s/map.html", ".xml"), "/s/map.xml");
    EXPECT_EQ(ChangeFileExt("/s.d/map", ".xml"), "/s.d/map.xml");
    EXPECT_EQ(ChangeFileExt("map.tar.gz", ""), "map.tar");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/"); // the root stays the root, not the current folder
    EXPECT_EQ(ExpandFileName("/a/./b/../c//d"), "/a/c/d");
    EXPECT_EQ(ExpandFileName("/../x/"), "/x/");
    EXPECT_EQ(ExpandFileName("/"), "/");
    EXPECT_EQ(ExpandFileName(""), "");
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(ExpandFileName("sub/../f.txt"), (fs::path(cwd) / "f.txt").string());
}

TEST(FileMasks, WildcardsAsTheFinderUsesThem) {
    EXPECT_TRUE(MatchesMask("index.html", "*.*"));
    EXPECT_TRUE(MatchesMask("README", "*.*")); // "*.*" means every name
    EXPECT_TRUE(MatchesMask("README", "*"));
    EXPECT_TRUE(MatchesMask("page.html", "*.htm?"));
    EXPECT_FALSE(MatchesMask("page.htm", "*.htm?"));
    EXPECT_FALSE(MatchesMask("page.HTML", "*.htm?")); // names compare exactly
    EXPECT_TRUE(MatchesMask("index", "index.*"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.c"));
    EXPECT_TRUE(MatchesMask("abcbcd", "a*bcd"));
    EXPECT_FALSE(MatchesMask("abc", "a?"));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask(std::string(200, 'a'), std::string(50, '*') + "b")); // no blow-up
}

namespace {
class Folder : public ::testing::Test {
protected:
    testsupport::TempDir dir_{"pw-files"};
    std::string at(const std::string& name) const { return dir_.File(name); }
    void write(const std::string& name, const std::string& text) { testsupport::WriteFile(at(name), text); }
    std::string read(const std::string& name) { return testsupport::ReadFile(at(name)); }

    // The names found, each marked as ls -F would: / folder, @ link, ! read-only, ~ hidden.
    std::string find(const std::string& mask, int attr) {
        std::string out;
        TSearchRec rec;
        for (int rc = FindFirst(at(mask), attr, rec); rc == 0; rc = FindNext(rec)) {
            out += (out.empty() ? "" : " ") + rec.Name;
            for (const auto& [bit, mark] :
                 {std::pair{faDirectory, '/'}, {faSymLink, '@'}, {faReadOnly, '!'}, {faHidden, '~'}})
                if (rec.Attr & bit) out += mark;
            if (rec.Attr & ~(faDirectory | faSymLink | faReadOnly | faHidden)) out += '?';
        }
        FindClose(rec);
        return out;
    }
};
} // namespace

TEST_F(Folder, FindFirstListsMatchesByMaskAndAttributes) {
    write("index.html", "<html>");
    write("b.htm", "x");
    write("README", "r");
    write(".hidden.html", "h");
    write("ro.html", "r");
    ::chmod(at("ro.html").c_str(), 0444);
    fs::create_directory(at("sub.html"));
    fs::create_symlink("index.html", at("link.html"));

    EXPECT_EQ(find("*.html", 0), "index.html link.html@ ro.html!");
    EXPECT_EQ(find("*.*", faDirectory), "README b.htm index.html link.html@ ro.html! sub.html/");
    EXPECT_EQ(find("*.htm?", faAnyFile), ".hidden.html~ index.html link.html@ ro.html! sub.html/");
    EXPECT_EQ(find("index.html", 0), "index.html");
    EXPECT_EQ(find("*.gif", faAnyFile), "");

    TSearchRec rec;
    ASSERT_EQ(FindFirst(at("index.html"), 0, rec), 0);
    EXPECT_EQ(rec.Size, 6);
    std::time_t age = 0;
    ASSERT_TRUE(FileAge(at("index.html"), age));
    EXPECT_EQ(rec.Time, age);
    EXPECT_NE(FindNext(rec), 0);
    EXPECT_NE(FindNext(rec), 0); // asking again past the end stays an error
    FindClose(rec);
    EXPECT_NE(FindNext(rec), 0);
    EXPECT_NE(FindFirst(at("missing/*.*"), faAnyFile, rec), 0);
}

TEST_F(Folder, CreateCopyRenameDeleteAndDates) {
    const std::string deep = at("a/b/c");
    EXPECT_TRUE(ForceDirectories(deep + "/"));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep)); // already there
    EXPECT_FALSE(ForceDirectories(""));
    write("file", "data");
    EXPECT_FALSE(ForceDirectories(at("file/sub"))); // a file is in the way
    EXPECT_TRUE(FileExists(at("file")));
    EXPECT_FALSE(FileExists(deep));
    EXPECT_FALSE(DirectoryExists(at("file")));

    // Copies never overwrite.
    write("target", "keep me");
    EXPECT_FALSE(CopyFile(at("file"), at("target")));
    EXPECT_EQ(read("target"), "keep me");
    ::chmod(at("file").c_str(), 0640);
    const timespec times[2] = {{1000000000, 0}, {1234567890, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, at("file").c_str(), times, 0), 0);
    EXPECT_TRUE(CopyFile(at("file"), at("copy")));
    EXPECT_EQ(read("copy"), "data");
    struct stat st {};
    ::stat(at("copy").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    std::time_t age = 0;
    ASSERT_TRUE(FileAge(at("copy"), age));
    EXPECT_EQ(age, 1234567890);
    EXPECT_FALSE(FileAge(deep, age));
    EXPECT_FALSE(FileAge(at("missing"), age));
    EXPECT_FALSE(CopyFile(at("missing"), at("copy2")));
    EXPECT_FALSE(CopyFile(deep, at("copy2")));
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(CopyFile(at("pipe"), at("copy2"))); // refused at once, not waiting for a writer
    EXPECT_FALSE(FileExists(at("copy2")));

    // Renames refuse to replace, as on the system the program comes from.
    EXPECT_FALSE(RenameFile(at("copy"), at("target")));
    EXPECT_EQ(read("target"), "keep me");
    EXPECT_TRUE(RenameFile(at("copy"), at("moved")));
    EXPECT_FALSE(FileExists(at("copy")));

    EXPECT_FALSE(DeleteFile(deep)); // not a folder
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(DeleteFile(at("moved")));
    EXPECT_FALSE(DeleteFile(at("moved")));
}
