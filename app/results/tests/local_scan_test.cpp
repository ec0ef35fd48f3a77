#include "app/results/local_scan.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/core/data_rec.h"
#include "app/core/work_pace.h"
#include "app/output/html_site_map.h"
#include "app/output/site_map_walk.h"
#include "app/output/xml_sitemap.h"
#include "results_test.h"
#include "tests/support/child_test.h"
#include "tests/support/deep_folders.h"

namespace {

using results::TResultTree;
using results_test::ScopedTz;

static_assert(results::kFolderImage == kFolderImage && results::kPageImage == kPageImage &&
                  results::kImageFileImage == kPictureImage,
              "the tree and the writers must agree on what each image means");

class LocalScanTest : public results_test::TreeTest {
protected:
    LocalScanTest() {
        profile.SetWebsite("http://www.example.com");
        profile.SetFileTypes("*.html;*.htm;*.pdf;*.png;*.php;");
        profile.SetUsePageTitles(true);
        scan.Display.MemoLine = [this](const std::string& line) { memo.push_back(line); };
        scan.OnFinished = [this] { ++finished; };
    }
    TTreeNode* NodeOf(const std::string& relative) const {
        for (int i = 0; i < tv.Items().Count(); ++i)
            if (TResultTree::Rec(tv.Items().Item(i))->URL == site.Root() + relative)
                return tv.Items().Item(i);
        return nullptr;
    }
    TDataRec* RecOf(const std::string& relative) const { return TResultTree::Rec(NodeOf(relative)); }
    bool Shows(const std::string& line) const {
        const std::vector<std::string> shape = Shape();
        return std::find(shape.begin(), shape.end(), line) != shape.end();
    }

    results_test::TempSite site;
    results::TLocalScan scan{tree, ignoreFolders, ignoreFiles};
    std::vector<std::string> memo;
    int finished = 0;
};

TEST_F(LocalScanTest, BuildsTheSiteTreeWithAddressesThatTheWritersWalk) {
    site.Write("index.html", "<html><head><title>Welcome &amp; more</title></head></html>");
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

    // A folder's files come before its folders.
    EXPECT_EQ(Shape(true), (std::vector<std::string>{
                               "Home 0", "  Welcome & more 1", "  docs 0", "    a.pdf 1", "    Caf\xC3\xA9 1",
                               "  img 0", "    Image.PNG 2", "  shop 0", "    Shop 1", "    cart.php 1"}));
    ASSERT_NE(NodeOf(""), nullptr);
    EXPECT_TRUE(RecOf("")->IsFolder);
    EXPECT_EQ(RecOf("")->Folder, site.Root());
    EXPECT_EQ(RecOf("")->Loc, "http://www.example.com/index.html");
    // A folder without an index page is addressed as itself, not as the site root.
    EXPECT_EQ(RecOf("docs/")->Loc, "http://www.example.com/docs/");
    EXPECT_EQ(RecOf("shop/")->Loc, "http://www.example.com/shop/Index.HTML");
    EXPECT_EQ(RecOf("docs/my page \xC3\xA9.html")->Loc,
              "http://www.example.com/docs/my%20page%20%C3%A9.html");
    EXPECT_EQ(RecOf("docs/a.pdf")->Folder, site.Root() + "docs/");
    // The files of a folder hold one text of it, not a copy each.
    EXPECT_EQ(RecOf("shop/cart.php")->Folder, site.Root() + "shop/");
    EXPECT_EQ(RecOf("shop/cart.php")->Folder.View().data(), RecOf("shop/Index.HTML")->Folder.View().data());
    // docs/sub held nothing wanted and went; every node added counted, folders too.
    EXPECT_EQ(NodeOf("docs/sub/"), nullptr);
    EXPECT_EQ(scan.FileCount(), 11);
    EXPECT_EQ(memo.front(), "Scanning Folder: " + site.Root());
    EXPECT_NE(std::find(memo.begin(), memo.end(), "  " + site.Root() + "docs/a.pdf"), memo.end());
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(scan.Scanning());

    const std::vector<TSiteMapNode> nodes = SiteMapNodesOf(tv.Items());
    ASSERT_EQ(static_cast<int>(nodes.size()), tv.Items().Count());
    for (size_t i = 0; i < nodes.size(); ++i) {
        TTreeNode* node = tv.Items().Item(static_cast<int>(i));
        EXPECT_EQ(nodes[i].Data, TResultTree::Rec(node));
        EXPECT_EQ(nodes[i].HasChildren, node->HasChildren());
        // The writers read the label where the tree keeps it: a large site map is not copied for them.
        EXPECT_EQ(nodes[i].Caption.data(), node->Text().data());
        EXPECT_EQ(std::string(static_cast<size_t>(nodes[i].Level) * 2, ' ') + std::string(nodes[i].Caption) +
                      " " + std::to_string(nodes[i].ImageIndex),
                  Shape(true)[i]);
    }
    const std::string html = BuildHtmlSiteMap(profile, nodes);
    EXPECT_NE(
        html.find("<a href=\"http://www.example.com/index.html\" class=\"mapitem\">Welcome &amp; more</a>"),
        std::string::npos)
        << html;
    const std::string xml = BuildXmlSitemap(nodes);
    EXPECT_NE(xml.find("<loc>http://www.example.com/docs/my%20page%20%C3%A9.html</loc>"), std::string::npos)
        << xml;
}

// The site address may name the home page itself; the files are then addressed below its folder.
TEST_F(LocalScanTest, ASiteAddressThatNamesAPageAddressesTheFilesBelowItsFolder) {
    site.Write("index.html", "<title>Home</title>");
    site.Write("docs/API.html", "<title>API</title>");
    profile.SetIndexPage(site.Root() + "index.html");
    profile.SetWebsite("http://127.0.0.1:8184/index.html");
    scan.Run(site.Root());
    EXPECT_EQ(RecOf("")->Loc, "http://127.0.0.1:8184/index.html");
    EXPECT_EQ(RecOf("docs/")->Loc, "http://127.0.0.1:8184/docs/");
    EXPECT_EQ(RecOf("docs/API.html")->Loc, "http://127.0.0.1:8184/docs/API.html");
}

TEST_F(LocalScanTest, IgnoreListsOutputFileAndExactPaths) {
    for (const char* page :
         {"private/secret.html", "private/deeper/more.html", "Private/shown.html", "drop.html", "Drop.html"})
        site.Write(page, "x");
    site.Write("index.html", "<title>Home page</title>");
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
    // Permissions do not stop root from reading: as root, the test runs again as an ordinary user.
    if (geteuid() == 0) {
        EXPECT_EQ(testsupport::RunTestInChild(testsupport::CurrentTestName(), {}, true), 0);
        return;
    }
    site.Write("index.html", "<title>i</title>");
    // A pipe named like a page: opening it for its title must neither block nor fail the scan.
    ASSERT_EQ(mkfifo((site.Root() + "pipe.html").c_str(), 0600), 0);
    site.Write("locked.html", "<title>Locked</title>");
    chmod((site.Root() + "locked.html").c_str(), 0);
    site.Write("closed/inside.html", "<title>in</title>");
    chmod((site.Root() + "closed").c_str(), 0);
    // Listed but not searched: its names are there, and nothing of what they are.
    site.Write("unsearched/inside.html", "<title>in</title>");
    chmod((site.Root() + "unsearched").c_str(), 0444);
    site.Write("z.html", "<title>last</title>");
    std::vector<std::string> unreadable;
    scan.Display.FolderUnreadable = [&](const std::string& folder, const std::string& reason) {
        unreadable.push_back(folder.substr(site.Root().size()) + " " + reason);
    };
    scan.Run(site.Root());
    EXPECT_EQ(unreadable,
              (std::vector<std::string>{"closed/ Permission denied", "unsearched/ Permission denied"}));
    EXPECT_TRUE(Shows("  pipe.html"));
    EXPECT_TRUE(Shows("  last"));
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(Shows("  locked.html"));
    EXPECT_EQ(NodeOf("closed/"), nullptr);
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
    EXPECT_EQ(RecOf("summer.html")->LastMod, "2024-07-01T14:00:00+02:00");
    // A folder stands for its index page, so it carries that page's date, not the time of the scan.
    EXPECT_EQ(RecOf("")->LastMod, "2024-01-01T13:00:00+01:00");
    EXPECT_EQ(RecOf("winter.html")->LastMod, "2024-01-01T13:00:00+01:00");
    {
        // Half an hour into a UTC hour the offset goes from +10:30 to +11:00.
        ScopedTz lordHowe("Australia/Lord_Howe");
        site.Touch("summer.html", 1728142199);
        site.Touch("winter.html", 1728142200);
        tree.ReleaseTree();
        scan.Run(site.Root());
        EXPECT_EQ(RecOf("summer.html")->LastMod, "2024-10-06T01:59:59+10:30");
        EXPECT_EQ(RecOf("winter.html")->LastMod, "2024-10-06T02:30:00+11:00");
    }
    // A later scan in another zone does not reuse the texts of the earlier one.
    ScopedTz utc("UTC");
    site.Touch("winter.html", 1704110400);
    tree.ReleaseTree();
    scan.Run(site.Root());
    EXPECT_EQ(RecOf("winter.html")->LastMod, "2024-01-01T12:00:00+00:00");
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
        ADD_FAILURE() << "a missing folder was taken";
    } catch (const EFindFileError& e) {
        EXPECT_EQ(e.Message(), "/no/such/folder\n\rdirectory does not exists");
    }
    EXPECT_THROW(scan.Finder().SetFilename("dir/name.html"), EFindFileError);
}

TEST_F(LocalScanTest, TitlesFarIntoAPageAndAcrossReads) {
    // The head is read in pieces; a tag cut by a piece boundary, or a title far down, is still found.
    for (size_t cut = 16384 - 9; cut <= 16384 + 1; ++cut) {
        const std::string title = "T" + std::to_string(cut);
        EXPECT_EQ(scan.LocalPageTitle(
                      site.Write(title + ".html", std::string(cut, ' ') + "<title>" + title + "</TITLE>")),
                  title);
    }
    const std::string split = site.Write("split.html", "<title>" + std::string(16384 - 10, 'x') + "</TITLE>");
    EXPECT_EQ(scan.LocalPageTitle(split).size(), 16384u - 10);
    const std::string far = site.Write("far.htm", std::string(100000, '\n') + "<title>Far</title>");
    EXPECT_EQ(scan.LocalPageTitle(far), "Far");
    // Without titles, or for a type that is not a page, the file name stands.
    EXPECT_EQ(scan.LocalPageTitle(site.Write("doc.pdf", "<title>not read</title>")), "doc.pdf");
    profile.SetUsePageTitles(false);
    EXPECT_EQ(scan.LocalPageTitle(far), "far.htm");
}

TEST_F(LocalScanTest, ManyPagesEachGetTheirOwnTitle) {
    // Enough pages that their titles are read by several threads.
    auto page = [](int i) { return "d" + std::to_string(i % 7) + "/p" + std::to_string(i) + ".html"; };
    for (int i = 0; i < 300; ++i)
        site.Write(page(i), "<title>T" + std::to_string(i) + "</title>");
    site.Write("d0/untitled.html", "no title");
    scan.Run(site.Root());
    for (int i = 0; i < 300; ++i) {
        ASSERT_NE(NodeOf(page(i)), nullptr) << page(i);
        EXPECT_EQ(NodeOf(page(i))->Text(), "T" + std::to_string(i));
        EXPECT_EQ(RecOf(page(i))->Text, "T" + std::to_string(i));
    }
    EXPECT_EQ(RecOf("d0/untitled.html")->Text, "untitled.html");
}

TEST_F(LocalScanTest, TheLoopAndTheLabelsGoAtTheWindowsPaceNotPerFolderOrFile) {
    for (int f = 0; f < 40; ++f)
        for (int i = 0; i < 25; ++i)
            site.Write("d" + std::to_string(f) + "/p" + std::to_string(i) + ".html", "x");
    TWorkPace::Clock::time_point now{};
    int painted = 0, unpainted = 0;
    TWorkPace pace([&] { ++painted; }, [&] { ++unpainted; }, [&] { return now; });
    std::vector<std::string> lookingIn;
    std::vector<int> counts;
    scan.Display.Pace = &pace;
    scan.Display.LookingIn = [&](const std::string& folder) { lookingIn.push_back(folder); };
    scan.Display.FileCount = [&](int count) { counts.push_back(count); };
    scan.Run(site.Root());
    EXPECT_EQ(tv.Items().Count(), 1 + 40 + 1000);
    // Every folder and every wanted file still has its line, in the order of the walk.
    EXPECT_EQ(memo.size(), 1u + 40 + 1000);
    EXPECT_EQ(memo.front(), "Scanning Folder: " + site.Root());
    // No time passed: the loop ran as the scan began and once more at its end, painting both times, and
    // the labels were set for those two turns only.
    EXPECT_EQ(painted, 2);
    EXPECT_EQ(unpainted, 0);
    EXPECT_EQ(lookingIn.size(), 2u);
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_EQ(counts.back(), 1041);

    // Time passing a millisecond per entry turns the loop every fifth entry and paints at most 30 times
    // a second of it.
    painted = unpainted = 0;
    scan.Display.FileCount = [&](int) {};
    scan.Display.MemoLine = [&](const std::string&) { now += std::chrono::milliseconds(1); };
    tree.ReleaseTree();
    scan.Run(site.Root());
    EXPECT_LE(painted + unpainted, 1041 / 5 + 2);
    EXPECT_GE(painted + unpainted, 1041 / 5 - 2);
    EXPECT_LE(painted, 1041 / 33 + 2);
}

TEST_F(LocalScanTest, IndexPageExactNameBeforeOtherLetterCase) {
    for (const char* file : {"a/INDEX.HTML", "a/index.htm", "b/INDEX.HTML", "b/index.htm", "b/index.html",
                             "c/Welcome.Html", "c/INDEX.PHP", "d/page.html"})
        site.Write(file, "x");
    std::filesystem::create_directories(site.Root() + "d/index.html");
    scan.Run(site.Root());
    // The walk chooses from the entries it has read, a lone look-up from the disk: the same page.
    for (auto [folder, index] : std::vector<std::pair<std::string, std::string>>{
             {"a", "index.htm"}, {"b", "index.html"}, {"c", "Welcome.Html"}, {"d", ""}}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(results::TLocalScan::DefaultIndexFile(site.Root() + folder),
                  index.empty() ? "" : site.Root() + folder + "/" + index);
        EXPECT_EQ(RecOf(folder + "/")->Loc, "http://www.example.com/" + folder + "/" + index);
    }
}

TEST_F(LocalScanTest, FinderPatternsAndAttributes) {
    for (const char* file : {"one.html", "two.htm", "README", "sub/three.html"})
        site.Write(file, "x");
    std::vector<std::string> found;
    TLmFileFinder finder;
    finder.OnFound = [&](TObject*, const std::string& folder, const TSearchRec& rec) {
        found.push_back(folder.substr(site.Root().size()) + rec.Name);
    };
    finder.SetLocation(site.Root());
    EXPECT_EQ(finder.Location() + "/", site.Root());
    auto run = [&] {
        found.clear();
        finder.Execute();
        return found;
    };
    EXPECT_EQ(run(), (std::vector<std::string>{"README", "one.html", "two.htm", "sub/three.html"}));
    finder.SetFilename("one");
    EXPECT_EQ(run(), std::vector<std::string>{"one.html"});
    finder.SetFilename("*.html");
    finder.SetSubfolders(false);
    EXPECT_EQ(run(), std::vector<std::string>{"one.html"});
    // Folders count only when asked for; plain files need ffNormal.
    finder.SetFilename("");
    finder.SetAttributes(TFileAttributes{ffDirectory});
    EXPECT_EQ(run(), std::vector<std::string>{"sub"});
}

// A chain of folders keeps each folder's path and address as the beginning of the next one's text, not
// as a copy a level: thousands of levels would keep the square of the deepest path. A branch off the
// chain and an index page get texts of their own, with the same bytes as ever.
TEST_F(LocalScanTest, AChainOfFoldersSharesItsPathsAndAddresses) {
    site.Write("index.html", "<title>i</title>");
    constexpr int kLevels = 60, kBranch = 10;
    const testsupport::DeepFolders chain(site.Root(), kLevels, kLevels, 255);
    ASSERT_TRUE(chain.Made());
    const std::string branch = site.Root() + chain.Relative(kBranch);
    struct Cleared {
        std::string folder;
        ~Cleared() {
            std::filesystem::remove(folder + "index.html");
            std::filesystem::remove_all(folder + "side");
        }
    } cleared{branch};
    site.Write(chain.Relative(kBranch) + "index.html", "<title>branch</title>");
    site.Write(chain.Relative(kBranch) + "side/page.html", "<title>side</title>");
    scan.Run(site.Root());
    std::set<const char*> paths, addresses;
    for (int level = 1; level <= kLevels; ++level) {
        SCOPED_TRACE(level);
        const TDataRec* rec = RecOf(chain.Relative(level));
        ASSERT_NE(rec, nullptr);
        EXPECT_EQ(rec->URL, site.Root() + chain.Relative(level));
        EXPECT_EQ(rec->Folder.View().data(), rec->URL.View().data());
        const std::string address = "http://www.example.com/" + chain.Relative(level);
        EXPECT_EQ(rec->Loc, level == kBranch ? address + "index.html" : address);
        paths.insert(rec->URL.View().data());
        if (level != kBranch) addresses.insert(rec->Loc.View().data());
    }
    // A new text only when the room of the last one is used up: a handful, not one a level.
    EXPECT_LE(paths.size(), 8u);
    EXPECT_LE(addresses.size(), 8u);
    const TDataRec* side = RecOf(chain.Relative(kBranch) + "side/");
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(side->Loc, "http://www.example.com/" + chain.Relative(kBranch) + "side/");
    EXPECT_EQ(RecOf(chain.Relative(kBranch) + "side/page.html")->Folder.View().data(),
              side->Folder.View().data());
    EXPECT_TRUE(Shows(std::string(2 * kLevels + 2, ' ') + "Page at " + std::to_string(kLevels)));
}

} // namespace
