#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/crawl/result_tree_results.h"
#include "app/crawl/website_crawl.h"
#include "app/results/result_tree.h"
#include "crawl_test_support.h"
#include "fetch/file_fetcher.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/rz_tree_view.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> shape(TRzTreeView& tv) {
    std::vector<std::string> lines;
    for (int i = 0; i < tv.Items().Count(); ++i) {
        TRzTreeNode* n = tv.Items().Item(i);
        lines.push_back(std::string(static_cast<size_t>(n->Level()) * 2, ' ') + n->Text());
    }
    return lines;
}

TEST(CrawlIntoTree, PagesHangUnderTheRootOfTheStartFolder) {
    crawl_test::Site site;
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", "<html><body><a href=\"a.html\">a</a><a href=\"docs/\">docs</a>"
                            "<a href=\"docs/b.html\">b</a></body></html>");
    site.Put("/a.html", "<html><head><title>Page A</title></head></html>");
    site.Put("/docs/index.html",
             "<html><head><title>Documents</title></head><a href=\"deep/c.html\">c</a></html>");
    site.Put("/docs/b.html", "<html><head><title>Page B</title></head></html>");
    site.Put("/docs/deep/c.html", "<html><head><title>Page C</title></head></html>");

    TMapProfile profile;
    profile.SetFileTypes("*.html;");
    profile.SetUsePageTitles(true);
    TStringList ignoreFolders, ignoreFiles;
    TRzTreeView tv;
    results::TResultTree tree(tv, profile, ignoreFolders, ignoreFiles);
    crawl::ResultTreeResults sink(tree);
    crawl::CrawlView view;
    TFileFetcher fetcher(nullptr);
    crawl::TWebsiteCrawl crawler(fetcher, profile, ignoreFolders, ignoreFiles, view, sink);

    // The start is a file with scheme and host in capitals: the root still takes the folder all pages share.
    ASSERT_TRUE(crawler.CrawlWebsite("HTTP://LOCALHOST:" + std::to_string(site.Port()) + "/index.html"));
    EXPECT_EQ(shape(tv), (std::vector<std::string>{"Home", "  Page A", "  Documents", "    Page B",
                                                   "    deep", "      Page C"}));
    ASSERT_NE(tree.Root(), nullptr);
    EXPECT_EQ(results::TResultTree::Rec(tree.Root())->Folder,
              "http://localhost:" + std::to_string(site.Port()) + "/");
}

// The folders of the pages' paths count against the crawl's limit beside its addresses: a page whose path
// needs more new folders than the limit leaves is left out whole, a page in folders already made still
// fits, and the crawl says that the site map lists only part of the site.
TEST(CrawlIntoTree, FoldersOfThePathsCountAgainstTheLimitOfEntries) {
    crawl_test::Site site;
    ASSERT_TRUE(site.Running());
    site.Put("/index.html", "<html><body><a href=\"a/b/c/d/p.html\">p</a><a href=\"e/f/g/h/q.html\">q</a>"
                            "<a href=\"a/b/c/d/r.html\">r</a></body></html>");
    for (const char* page : {"/a/b/c/d/p.html", "/e/f/g/h/q.html", "/a/b/c/d/r.html"})
        site.Put(page, "<html><head><title>" + std::string(page).substr(9, 1) + "</title></head></html>");

    struct Notices : crawl::CrawlView {
        void ShowNotice(const std::string& Text) override { said.push_back(Text); }
        std::vector<std::string> said;
    };
    TMapProfile profile;
    profile.SetFileTypes("*.html;");
    profile.SetUsePageTitles(true);
    TStringList ignoreFolders, ignoreFiles;
    TFileFetcher fetcher(nullptr);
    const auto crawl = [&](int limit, Notices& view) {
        TRzTreeView tv;
        results::TResultTree tree(tv, profile, ignoreFolders, ignoreFiles);
        crawl::ResultTreeResults sink(tree);
        crawl::TWebsiteCrawl crawler(fetcher, profile, ignoreFolders, ignoreFiles, view, sink);
        crawler.Queue().SetLimit(limit);
        EXPECT_TRUE(crawler.CrawlWebsite(site.Url("/index.html")));
        EXPECT_LE(tv.Items().Count(), limit) << "the tree holds more entries than the limit";
        return shape(tv);
    };
    // Four addresses; p makes four folders, q would make four more, r makes none.
    Notices cut;
    EXPECT_EQ(crawl(10, cut), (std::vector<std::string>{"Home", "  a", "    b", "      c", "        d",
                                                        "          p", "          r"}));
    EXPECT_EQ(cut.said,
              std::vector<std::string>{
                  "the site has more than 10 addresses and folders; the site map lists only part of it"});
    Notices whole;
    EXPECT_EQ(crawl(12, whole).size(), 12u);
    EXPECT_TRUE(whole.said.empty()) << whole.said.front();
}

} // namespace
