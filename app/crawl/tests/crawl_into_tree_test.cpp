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

} // namespace
