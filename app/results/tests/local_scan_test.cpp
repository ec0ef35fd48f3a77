#include "app/results/local_scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/results/result_tree.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/rz_tree_view.h"
#include "shellcontrols/tests/tree_test_support.h"
#include "test_site.h"

namespace {

using results::TResultTree;
using results_test::ScopedTz;
using results_test::TempSite;

class LocalScanTest : public ::testing::Test {
protected:
    LocalScanTest() : tree(tv, profile, ignoreFolders, ignoreFiles), scan(tree, ignoreFolders, ignoreFiles) {
        profile.SetWebsite("http://www.example.com");
        profile.SetFileTypes("*.html;*.htm;*.pdf;*.png;*.php;");
        profile.SetUsePageTitles(true);
        scan.Display.MemoLine = [this](const std::string& line) { memo.push_back(line); };
        scan.OnFinished = [this] { ++finished; };
    }

    // Each node as its indented shown text, in tree order.
    std::vector<std::string> Shape() const {
        std::vector<std::string> lines;
        for (int i = 0; i < tv.Items().Count(); ++i) {
            TTreeNode* n = tv.Items().Item(i);
            lines.push_back(std::string(static_cast<size_t>(n->Level()) * 2, ' ') + n->Text());
        }
        return lines;
    }
    // The node whose record URL is Path.
    TTreeNode* NodeOf(const std::string& path) const {
        for (int i = 0; i < tv.Items().Count(); ++i)
            if (TResultTree::Rec(tv.Items().Item(i))->URL == path) return tv.Items().Item(i);
        return nullptr;
    }
    TDataRec* RecOf(const std::string& path) const { return TResultTree::Rec(NodeOf(path)); }

    TempSite site;
    TMapProfile profile;
    TStringList ignoreFolders;
    TStringList ignoreFiles;
    tree_test::TreeForm view;
    TRzTreeView& tv = *view.tree;
    TResultTree tree;
    results::TLocalScan scan;
    std::vector<std::string> memo;
    int finished = 0;
};

TEST_F(LocalScanTest, BuildsTheSiteTreeWithAddresses) {
    site.Write("index.html", "<html><head><title>Welcome</title></head></html>");
    site.Write("docs/a.pdf", "%PDF");
    site.Write("docs/sub/empty.txt", "not a wanted type");
    site.Write("docs/my page \xC3\xA9.html", "<title>Caf\xE9</title>");
    site.Write("img/Image.PNG", "png");
    site.Write(".hidden.html", "<title>hidden</title>");
    site.Write(".git/config.html", "<title>hidden folder</title>");
    site.Write("notes.txt", "unwanted");
    site.Write("shop/Index.HTML", "<title>Shop</title>");
    site.Write("shop/cart.php", "<?php ?>");
    scan.Run(site.Root());

    EXPECT_EQ(Shape(),
              (std::vector<std::string>{"Home", "  Welcome", "  docs", "    a.pdf", "    Caf\xC3\xA9",
                                        "  img", "    Image.PNG", "  shop", "    Shop", "    cart.php"}));
    TDataRec* home = RecOf(site.Root());
    ASSERT_NE(home, nullptr);
    EXPECT_TRUE(home->IsFolder);
    EXPECT_EQ(home->Folder, site.Root());
    EXPECT_EQ(home->Loc, "http://www.example.com/index.html");
    // A folder without an index page is addressed as itself, not as the site root.
    EXPECT_EQ(RecOf(site.Root() + "docs/")->Loc, "http://www.example.com/docs/");
    EXPECT_EQ(RecOf(site.Root() + "shop/")->Loc, "http://www.example.com/shop/Index.HTML");
    EXPECT_EQ(RecOf(site.Root() + "docs/my page \xC3\xA9.html")->Loc,
              "http://www.example.com/docs/my%20page%20%C3%A9.html");
    EXPECT_EQ(RecOf(site.Root() + "docs/a.pdf")->Folder, site.Root() + "docs/");
    EXPECT_EQ(NodeOf(site.Root() + "img/Image.PNG")->ImageIndex(), results::kImageFileImage);
    EXPECT_EQ(NodeOf(site.Root() + "docs/a.pdf")->ImageIndex(), results::kPageImage);
    EXPECT_EQ(NodeOf(site.Root() + "docs/")->ImageIndex(), results::kFolderImage);
    // docs/sub held nothing wanted and went; every node added counted, folders too.
    EXPECT_EQ(NodeOf(site.Root() + "docs/sub/"), nullptr);
    EXPECT_EQ(scan.FileCount(), 11);
    EXPECT_EQ(memo.front(), "Scanning Folder: " + site.Root());
    EXPECT_NE(std::find(memo.begin(), memo.end(), "  " + site.Root() + "docs/a.pdf"), memo.end());
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(scan.Scanning());
}

TEST_F(LocalScanTest, IgnoreListsOutputFileAndExactPaths) {
    site.Write("index.html", "<title>Home page</title>");
    site.Write("private/secret.html", "x");
    site.Write("private/deeper/more.html", "x");
    site.Write("Private/shown.html", "x");
    site.Write("drop.html", "x");
    site.Write("Drop.html", "x");
    site.Write("sitemap.html", "the output");
    ignoreFolders.Add(site.Root() + "private/");
    ignoreFiles.Add(site.Root() + "drop.html");
    profile.SetOutputType(moutFile);
    profile.SetOutputFileName(site.Root() + "private/../sitemap.html");
    scan.Run(site.Root());
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  Drop.html", "  Home page", "  Private",
                                                 "    shown.html"}));
    EXPECT_NE(std::find(memo.begin(), memo.end(), "Ignoring Folder: " + site.Root() + "private/"),
              memo.end());
}

TEST_F(LocalScanTest, SymbolicLinkLoopsEndAndLinkedFilesCount) {
    site.Write("index.html", "<title>i</title>");
    site.Write("a/page.html", "<title>p</title>");
    ASSERT_EQ(symlink(site.Root().c_str(), (site.Root() + "a/up").c_str()), 0);
    ASSERT_EQ(symlink("../a", (site.Root() + "a/self").c_str()), 0);
    ASSERT_EQ(symlink("page.html", (site.Root() + "a/alias.html").c_str()), 0);
    ASSERT_EQ(symlink("missing.html", (site.Root() + "a/dangling.html").c_str()), 0);
    scan.Run(site.Root());
    EXPECT_EQ(Shape(), (std::vector<std::string>{"Home", "  i", "  a", "    p", "    p"}));
}

TEST_F(LocalScanTest, UnreadablePagesKeepTheirNamesAndTheScanGoesOn) {
    site.Write("index.html", "<title>i</title>");
    // A pipe named like a page: opening it for its title must neither block nor fail the scan.
    ASSERT_EQ(mkfifo((site.Root() + "pipe.html").c_str(), 0600), 0);
    site.Write("locked.html", "<title>Locked</title>");
    chmod((site.Root() + "locked.html").c_str(), 0);
    site.Write("closed/inside.html", "<title>in</title>");
    chmod((site.Root() + "closed").c_str(), 0);
    site.Write("z.html", "<title>last</title>");
    scan.Run(site.Root());
    std::vector<std::string> shape = Shape();
    EXPECT_NE(std::find(shape.begin(), shape.end(), "  pipe.html"), shape.end());
    EXPECT_NE(std::find(shape.begin(), shape.end(), "  last"), shape.end());
    EXPECT_EQ(finished, 1);
    if (geteuid() == 0) {
        GTEST_SKIP() << "running as root: permissions do not stop reading, the pipe stood in for them";
    }
    EXPECT_NE(std::find(shape.begin(), shape.end(), "  locked.html"), shape.end());
    EXPECT_EQ(NodeOf(site.Root() + "closed/"), nullptr);
}

TEST_F(LocalScanTest, DatesCarryTheOffsetInEffectAtThatDate) {
    ScopedTz tz("Europe/Berlin");
    site.Write("index.html", "<title>i</title>");
    site.Write("summer.html", "s");
    site.Write("winter.html", "w");
    site.Touch("summer.html", 1719835200); // 2024-07-01 12:00 UTC
    site.Touch("winter.html", 1704110400); // 2024-01-01 12:00 UTC
    site.Touch("index.html", 1704110400);
    scan.Run(site.Root());
    EXPECT_EQ(RecOf(site.Root() + "summer.html")->LastMod, "2024-07-01T14:00:00+02:00");
    // A folder stands for its index page, so it carries that page's date, not the time of the scan.
    EXPECT_EQ(RecOf(site.Root())->LastMod, "2024-01-01T13:00:00+01:00");
    EXPECT_EQ(RecOf(site.Root() + "winter.html")->LastMod, "2024-01-01T13:00:00+01:00");
    {
        ScopedTz india("Asia/Kolkata");
        tree.ReleaseTree();
        scan.Run(site.Root());
        EXPECT_EQ(RecOf(site.Root() + "summer.html")->LastMod, "2024-07-01T17:30:00+05:30");
    }
    {
        // Half an hour into a UTC hour the offset goes from +10:30 to +11:00.
        ScopedTz lordHowe("Australia/Lord_Howe");
        site.Touch("summer.html", 1728142199);
        site.Touch("winter.html", 1728142200);
        tree.ReleaseTree();
        scan.Run(site.Root());
        EXPECT_EQ(RecOf(site.Root() + "summer.html")->LastMod, "2024-10-06T01:59:59+10:30");
        EXPECT_EQ(RecOf(site.Root() + "winter.html")->LastMod, "2024-10-06T02:30:00+11:00");
    }
    ScopedTz utc("UTC");
    site.Touch("winter.html", 1704110400);
    tree.ReleaseTree();
    scan.Run(site.Root());
    EXPECT_EQ(RecOf(site.Root() + "winter.html")->LastMod, "2024-01-01T12:00:00+00:00");
}

TEST_F(LocalScanTest, StopAndFailureBothGiveTheWizardItsButtonsBack) {
    for (int i = 0; i < 20; ++i)
        site.Write("p" + std::to_string(i) + ".html", "x");
    int events = 0;
    int processed = 0;
    scan.Display.ProcessMessages = [&] { ++processed; };
    scan.Display.MemoLine = [&](const std::string&) {
        if (++events == 3) scan.Stop();
    };
    scan.Run(site.Root());
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(scan.Scanning());
    EXPECT_EQ(tv.Items().Count(), 3);
    // The window is served at the start and at the end at least, not at every entry.
    EXPECT_GE(processed, 2);

    EXPECT_THROW(scan.Run(site.Root() + "no-such-folder"), EFindFileError);
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(scan.Scanning());
    try {
        scan.Finder().SetLocation("/no/such/folder");
    } catch (const EFindFileError& e) {
        EXPECT_EQ(e.Message(), "/no/such/folder\n\rdirectory does not exists");
    }
    EXPECT_THROW(scan.Finder().SetFilename("dir/name.html"), EFindFileError);
}

TEST_F(LocalScanTest, TitlesFarIntoAPageAndAcrossReads) {
    // The head is read in pieces; a tag cut by a piece boundary, or a title far down, is still found.
    for (size_t cut = 16384 - 9; cut <= 16384 + 1; ++cut) {
        std::string page = std::string(cut, ' ') + "<title>T" + std::to_string(cut) + "</TITLE>";
        site.Write("p" + std::to_string(cut) + ".html", page);
        EXPECT_EQ(scan.LocalPageTitle(site.Root() + "p" + std::to_string(cut) + ".html"),
                  "T" + std::to_string(cut));
    }
    std::string split = "<title>" + std::string(16384 - 7 - 3, 'x') + "</TITLE>";
    site.Write("split.html", split);
    EXPECT_EQ(scan.LocalPageTitle(site.Root() + "split.html").size(), 16384u - 10);
    site.Write("far.htm", std::string(100000, '\n') + "<title>Far</title>");
    EXPECT_EQ(scan.LocalPageTitle(site.Root() + "far.htm"), "Far");
    // Without titles, or for a type that is not a page, the file name stands.
    site.Write("doc.pdf", "<title>not read</title>");
    EXPECT_EQ(scan.LocalPageTitle(site.Root() + "doc.pdf"), "doc.pdf");
    profile.SetUsePageTitles(false);
    EXPECT_EQ(scan.LocalPageTitle(site.Root() + "far.htm"), "far.htm");
}

TEST_F(LocalScanTest, ManyPagesEachGetTheirOwnTitle) {
    // Enough pages that their titles are read by several threads.
    for (int i = 0; i < 300; ++i)
        site.Write("d" + std::to_string(i % 7) + "/p" + std::to_string(i) + ".html",
                   "<title>T" + std::to_string(i) + "</title>");
    site.Write("d0/untitled.html", "no title");
    scan.Run(site.Root());
    for (int i = 0; i < 300; ++i) {
        std::string path = site.Root() + "d" + std::to_string(i % 7) + "/p" + std::to_string(i) + ".html";
        ASSERT_NE(NodeOf(path), nullptr) << path;
        EXPECT_EQ(NodeOf(path)->Text(), "T" + std::to_string(i));
        EXPECT_EQ(RecOf(path)->Text, "T" + std::to_string(i));
    }
    EXPECT_EQ(RecOf(site.Root() + "d0/untitled.html")->Text, "untitled.html");
}

TEST_F(LocalScanTest, IndexPageExactNameBeforeOtherLetterCase) {
    site.Write("a/INDEX.HTML", "x");
    site.Write("a/index.htm", "x");
    EXPECT_EQ(results::TLocalScan::DefaultIndexFile(site.Root() + "a"), site.Root() + "a/index.htm");
    site.Write("a/index.html", "x");
    EXPECT_EQ(results::TLocalScan::DefaultIndexFile(site.Root() + "a/"), site.Root() + "a/index.html");
    site.Write("b/Welcome.Html", "x");
    site.Write("b/INDEX.PHP", "x");
    EXPECT_EQ(results::TLocalScan::DefaultIndexFile(site.Root() + "b/"), site.Root() + "b/Welcome.Html");
    site.Folder("c/index.html");
    EXPECT_EQ(results::TLocalScan::DefaultIndexFile(site.Root() + "c/"), "");
}

TEST_F(LocalScanTest, FinderPatternsAndAttributes) {
    site.Write("one.html", "x");
    site.Write("two.htm", "x");
    site.Write("README", "x");
    site.Write("sub/three.html", "x");
    std::vector<std::string> found;
    TLmFileFinder finder;
    finder.OnFound = [&](TObject*, const std::string& folder, const TSearchRec& rec) {
        found.push_back(folder.substr(site.Root().size()) + rec.Name);
    };
    finder.SetLocation(site.Root());
    EXPECT_EQ(finder.Location() + "/", site.Root());
    finder.Execute();
    EXPECT_EQ(found, (std::vector<std::string>{"README", "one.html", "two.htm", "sub/three.html"}));
    found.clear();
    finder.SetFilename("one");
    finder.Execute();
    EXPECT_EQ(found, (std::vector<std::string>{"one.html"}));
    found.clear();
    finder.SetFilename("*.html");
    finder.SetSubfolders(false);
    finder.Execute();
    EXPECT_EQ(found, (std::vector<std::string>{"one.html"}));
    found.clear();
    // Folders count only when asked for; plain files need ffNormal.
    finder.SetFilename("");
    finder.SetAttributes(TFileAttributes{ffDirectory});
    finder.Execute();
    EXPECT_EQ(found, (std::vector<std::string>{"sub"}));
}

} // namespace
