// The crawl lets the message loop run at the window's pace: never once per address, folder segment or
// tree node, however many there are. Counted with a clock of the test's own, not timed.
#include "app/core/map_profile.h"
#include "app/core/work_pace.h"
#include "app/crawl/crawl_view.h"
#include "app/crawl/result_tree_results.h"
#include "app/crawl/website_crawl.h"
#include "app/results/result_tree.h"
#include "fetch/file_fetcher.h"
#include "platform/rtl/string_list.h"
#include "shellcontrols/rz_tree_view.h"
#include "tests/support/generated_site.h"
#include "tests/support/nginx_peer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kPages = 120;

class PacedView : public crawl::CrawlView {
public:
    explicit PacedView(TWorkPace& Pace) : pace_(Pace) {}
    TWorkPace* Pace() override { return &pace_; }
    void ShowFileFound(const std::string&) override { ++labels; }
    void AppendMemo(const std::string&) override {
        ++lines;
        if (OnLine) OnLine();
    }
    void ProcessMessages() override { ++unpaced; }
    int labels = 0, lines = 0, unpaced = 0;
    std::function<void()> OnLine;

private:
    TWorkPace& pace_;
};

TEST(CrawlPace, TheLoopTurnsAtTheWindowsPaceNotPerAddressFolderOrNode) {
    testsupport::NginxOptions options;
    options.http = "  types { text/html html; }\n";
    options.server = testsupport::kGeneratedSiteRedirects;
    testsupport::NginxPeer site(options);
    ASSERT_TRUE(site.Running());
    testsupport::WriteGeneratedSite(site.Root(), kPages, site.Port());

    TWorkPace::Clock::time_point now{};
    int turns = 0;
    TWorkPace pace([&] { ++turns; }, [&] { ++turns; }, [&] { return now; });
    PacedView view(pace);
    TMapProfile profile;
    profile.SetFileTypes("*.html;");
    profile.SetUsePageTitles(true);
    TStringList ignoreFolders, ignoreFiles;
    TRzTreeView tv;
    results::TResultTree tree(tv, profile, ignoreFolders, ignoreFiles);
    // As the window has it: the tree's folders and nodes ask the same pace.
    tree.OnProcessMessages = [&] { pace.Turn(); };
    crawl::ResultTreeResults results(tree);
    TFileFetcher fetcher(nullptr);
    fetcher.SetLinkTypes(LinkBit(ltA_href));
    crawl::TWebsiteCrawl crawler(fetcher, profile, ignoreFolders, ignoreFiles, view, results);

    ASSERT_TRUE(crawler.CrawlWebsite(site.Url("/")));
    // The whole site, its missing pages and redirects, in three levels of folders.
    EXPECT_EQ(crawler.FileCount(), kPages + 1);
    EXPECT_GT(crawler.UrlCount(), kPages + 50);
    EXPECT_GT(tv.Items().Count(), kPages + 10);
    // No time passed: the loop ran where the crawl begins, twice as its steps ask, and never again; the
    // labels were set once, for the first address after those turns; the view's own loop never ran.
    EXPECT_EQ(turns, 2);
    EXPECT_EQ(view.labels, 1);
    EXPECT_EQ(view.unpaced, 0);
    EXPECT_EQ(view.lines, kPages + 1);

    // A millisecond per page turns the loop about every fifth page, and sets the labels for those turns.
    turns = 0;
    view.lines = 0;
    view.OnLine = [&] { now += std::chrono::milliseconds(1); };
    tree.ReleaseTree();
    ASSERT_TRUE(crawler.CrawlWebsite(site.Url("/")));
    EXPECT_EQ(view.lines, kPages + 1);
    EXPECT_GE(turns, (kPages + 1) / 5 - 2);
    EXPECT_LE(turns, (kPages + 1) / 5 + 3);
    EXPECT_LE(view.labels, turns);
    EXPECT_GE(view.labels, turns - 3);
}

} // namespace
