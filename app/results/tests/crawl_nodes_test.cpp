#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/data_rec.h"
#include "results_test.h"

namespace {

using results::TResultTree;
using CrawlNodesTest = results_test::TreeTest;

TEST_F(CrawlNodesTest, PagesHangUnderFolderNodesBuiltFromTheirPath) {
    profile.SetUsePageTitles(false);
    results_test::ScopedTz tz("UTC");
    tree.AddRootNode("", "http://site/", "Start", 1704110400);
    EXPECT_EQ(TResultTree::Rec(tree.Root())->LastMod, "2024-01-01T12:00:00+00:00");
    TTreeNode* page = tree.AddPageNode("http://site/a/b/page.html", "Page", "Title", std::nullopt);
    ASSERT_NE(page, nullptr);
    // A folder's own page gives the folder its name and makes no node.
    EXPECT_EQ(tree.AddPageNode("http://site/a/", "A", "Section A", std::nullopt), nullptr);
    tree.AddPageNode("http://site/a/list.php?page=2", "Second", "", std::nullopt);
    EXPECT_EQ(Shape(true), (std::vector<std::string>{"Home 0", "  a 0", "    b 0", "      page.html 1",
                                                     "    list.php?page=2 1"}));
    EXPECT_EQ(TResultTree::Rec(tree.FindNodeByFolder("http://site/a/"))->Text, "a");
    EXPECT_EQ(TResultTree::Rec(page)->Folder, "http://site/a/b/");
    EXPECT_EQ(TResultTree::Rec(page)->Loc, "http://site/a/b/page.html");
    EXPECT_EQ(TResultTree::Rec(tree.Root())->Text, "");
    // Refused: a path that climbs, an address too short to hold a host.
    EXPECT_EQ(tree.AddPageNode("http://site/a/../x.html", "x", "", std::nullopt), nullptr);
    EXPECT_EQ(tree.FindOrCreateFolderPath("http://", ""), nullptr);
    EXPECT_EQ(tree.FindOrCreateFolderPath("http://site", ""), nullptr);
    EXPECT_EQ(tv.Items().Count(), 5);
}

TEST_F(CrawlNodesTest, TitlesNameTheRootAndTheFolders) {
    profile.SetUsePageTitles(true);
    // A start page without a title still gets a visible name.
    tree.AddRootNode("http://referrer/", "http://site/", "", std::nullopt);
    EXPECT_EQ(TResultTree::Rec(tree.Root())->Text, "Home");
    EXPECT_EQ(TResultTree::Rec(tree.Root())->Referrer, "http://referrer/");
    tree.AddPageNode("http://site/docs/guide.html", "Guide", "Guide", std::nullopt);
    tree.AddPageNode("http://site/docs/", "docs", "The Docs", std::nullopt);
    // An address outside the root's folder starts a top-level node named by its raw address.
    tree.AddPageNode("https://other/y/x.html", "X", "X", std::nullopt);
    EXPECT_EQ(Shape(true), (std::vector<std::string>{"Home 0", "  The Docs 0", "    Guide 1",
                                                     "https://other/ 0", "  y 0", "    X 1"}));
    EXPECT_EQ(TResultTree::Rec(tree.FindNodeByFolder("http://site/docs/"))->Text, "The Docs");
}

TEST(CrawlNodes, FolderOfUsesThePathOnly) {
    EXPECT_EQ(TResultTree::FolderOf("http://site/a/b.html"), "http://site/a/");
    EXPECT_EQ(TResultTree::FolderOf("http://site/a?x=1/2"), "http://site/");
    EXPECT_EQ(TResultTree::FolderOf("http://site/a/#top/x"), "http://site/a/");
    EXPECT_EQ(TResultTree::FolderOf("http://site"), "http://site/");
    EXPECT_EQ(TResultTree::FolderOf("http://site?q"), "http://site/");
}

} // namespace
