// How the fetcher files the links of a page served by a real nginx.
#include "fetch/file_fetcher.h"
#include "gui_test_environment.h"
#include "platform/rtl/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using gui_test::Site;

namespace {

std::vector<std::string> lines(TStringList* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->Count(); ++i)
        out.push_back(list->Strings(i));
    return out;
}

constexpr TLinkTypes kCrawlKinds =
    LinkBit(ltA_href) | LinkBit(ltAREA_href) | LinkBit(ltFRAME_src) | LinkBit(ltIFRAME_src);

class FetcherLinks : public ::testing::Test {
protected:
    void SetUp() override {
        if (!site.Running()) GTEST_SKIP() << "nginx is not installed";
        // Followed or not: relative, absolute, protocol-relative, other host, upper-case scheme, fragments,
        // mailto and ftp, queries, wanted and unwanted types, nofollow, a repeat, AREA, FRAME, IFRAME, IMG.
        std::string links = R"(<html><head><title>Links</title></head><body>
<a href="rel.html">r</a> <a href="/abs/a.html">a</a> <a href="//127.0.0.1:PORT/proto.html">p</a>
<a href="http://127.0.0.2:PORT/other-host.html">o</a> <a href="HTTP://127.0.0.1:PORT/upper.html">u</a>
<a href="#top">t</a> <a href="sec.html#part">s</a> <a href="mailto:someone@example.org">m</a>
<a href="ftp://127.0.0.1/f.txt">f</a> <a href="page.php?id=3&amp;x=1">q</a> <a href="list.php?sort=asc#s">q2</a>
<a href="photo.JPG">i</a> <a href="help.chm">h</a> <a href="doc.pdf">d</a>
<a href="no.html" rel="nofollow">n</a> <a href="no2.html" rel="external NoFollow">n</a>
<a href="rel.html">again</a> <map><area href="area.html"></map>
<frameset><frame src="frame.html"></frameset> <iframe src="iframe.html"></iframe> <img src="img.png">
<a href="http://127.0.0.1:8x/unparsable.html">bad</a>
</body></html>
)";
        for (size_t at = links.find("PORT"); at != std::string::npos; at = links.find("PORT"))
            links.replace(at, 4, std::to_string(site.Port()));
        site.Put("/links/index.html", links);
        site.Put("/based/index.html", "<head><base href=\"/sub/\"><base href=\"http://127.0.0.9/\"></head>"
                                      "<a href=\"x.html\">x</a><a href=\"../up.html\">u</a>");
        fetcher.SetLinkTypes(kCrawlKinds);
    }

    std::string at(const std::string& path) const { return site.Url(path); }

    Site site;
    TFileFetcher fetcher{nullptr};
};

} // namespace

TEST_F(FetcherLinks, FilesEachLinkAsFollowedOrNot) {
    std::vector<std::string> events;
    fetcher.OnLink = [&](TObject* sender, const std::string& tag, const std::string& org,
                         const std::string& filed) {
        EXPECT_EQ(sender, &fetcher);
        events.push_back(tag + " | " + org + " | " + filed);
    };
    ASSERT_TRUE(fetcher.Fetch(at("/links/index.html")));
    EXPECT_EQ(fetcher.Response(), 200);
    EXPECT_TRUE(fetcher.Parsed());
    EXPECT_EQ(fetcher.Title(), "Links");
    EXPECT_EQ(lines(fetcher.FollowList()),
              (std::vector<std::string>{at("/links/rel.html"), at("/abs/a.html"), at("/proto.html"),
                                        site.Url("/other-host.html", "127.0.0.2"), at("/upper.html"),
                                        at("/links/sec.html"), at("/links/page.php"), at("/links/list.php"),
                                        at("/links/rel.html"), at("/links/area.html"),
                                        at("/links/frame.html"), at("/links/iframe.html")}));
    EXPECT_EQ(
        lines(fetcher.NonFollowList()),
        (std::vector<std::string>{"mailto:someone@example.org", "ftp://127.0.0.1/f.txt",
                                  at("/links/photo.JPG"), at("/links/help.chm"), at("/links/doc.pdf"), ""}));
    // The crawl queues the resolved link, which keeps its query.
    ASSERT_EQ(fetcher.LinkCount(), 12);
    std::string resolved, filed;
    fetcher.GetLink(6, resolved, filed);
    EXPECT_EQ(resolved, at("/links/page.php?id=3&x=1"));
    EXPECT_EQ(filed, at("/links/page.php"));
    std::string alone;
    fetcher.GetResolvedLink(6, alone);
    EXPECT_EQ(alone, resolved);
    fetcher.GetLink(5, resolved, filed);
    EXPECT_EQ(resolved, at("/links/sec.html"));
    EXPECT_EQ(lines(fetcher.PageLinks()), lines(fetcher.FollowList()));
    ASSERT_EQ(events.size(), 18u);
    EXPECT_EQ(events[0], "<a href=rel.html> | " + at("/links/rel.html") + " | " + at("/links/rel.html"));
    EXPECT_EQ(events[14].substr(0, 6), "<area ");
}

TEST_F(FetcherLinks, QueryPartsAllKindsAndWantedTypesChangeTheFiling) {
    fetcher.NonFollowQueryParts()->Add("");
    fetcher.NonFollowQueryParts()->Add("sort=asc");
    fetcher.NonFollowQueryParts()->Add("id=");
    fetcher.SetWantedFileTypes("*.html;*.pdf;");
    ASSERT_TRUE(fetcher.Fetch(at("/links/index.html")));
    const std::vector<std::string> notFollowed = lines(fetcher.NonFollowList());
    // A listed query part keeps the query and stops the link; a wanted non-page type is followed.
    EXPECT_EQ(notFollowed,
              (std::vector<std::string>{"mailto:someone@example.org", "ftp://127.0.0.1/f.txt",
                                        at("/links/page.php?id=3&x=1"), at("/links/list.php?sort=asc"),
                                        at("/links/photo.JPG"), at("/links/help.chm"), ""}));
    EXPECT_EQ(lines(fetcher.FollowList())[6], at("/links/doc.pdf"));
    EXPECT_EQ(fetcher.LinkCount(), 11);

    fetcher.SetShowAllLinkTypes(true);
    fetcher.SetLinkTypes(kAllLinkTypes);
    ASSERT_TRUE(fetcher.Fetch(at("/links/index.html")));
    EXPECT_EQ(fetcher.NonFollowList()->Count(), 0);
    EXPECT_NE(fetcher.FollowList()->IndexOf("mailto:someone@example.org"), -1);
    EXPECT_NE(fetcher.FollowList()->IndexOf(at("/links/img.png")), -1);
    EXPECT_NE(fetcher.FollowList()->IndexOf(""), -1);
    EXPECT_EQ(fetcher.FollowList()->IndexOf(at("/links/no.html")), -1);
    // The list the fetcher fills on demand is not refilled while it holds lines.
    EXPECT_EQ(fetcher.PageLinks()->Count(), fetcher.LinkCount());
}

TEST_F(FetcherLinks, AQueryPartAnywhereInTheQueryStopsTheLink) {
    site.Put("/middle/index.html",
             "<a href=\"a.php?x=1&amp;sid=9&amp;y=2\">m</a><a href=\"b.php?x=1&amp;y=sid=\">e</a>"
             "<a href=\"c.php?x=1\">n</a>");
    fetcher.NonFollowQueryParts()->Add("sid=");
    ASSERT_TRUE(fetcher.Fetch(at("/middle/index.html")));
    EXPECT_EQ(lines(fetcher.NonFollowList()),
              (std::vector<std::string>{at("/middle/a.php?x=1&sid=9&y=2"), at("/middle/b.php?x=1&y=sid=")}));
    EXPECT_EQ(lines(fetcher.FollowList()), (std::vector<std::string>{at("/middle/c.php")}));
}

TEST_F(FetcherLinks, FirstBaseCountsAndIsTakenAgainstThePage) {
    ASSERT_TRUE(fetcher.Fetch(at("/based/index.html")));
    EXPECT_EQ(lines(fetcher.FollowList()), (std::vector<std::string>{at("/sub/x.html"), at("/up.html")}));
    fetcher.SetResolveUris(false);
    ASSERT_TRUE(fetcher.Fetch(at("/based/index.html")));
    // Unresolved links have no scheme, so none is followed.
    EXPECT_EQ(lines(fetcher.NonFollowList()), (std::vector<std::string>{"x.html", "../up.html"}));
}

TEST_F(FetcherLinks, NarrowingTheLinkKindsBetweenFetchesTakesEffect) {
    for (const auto& [kinds, frame, area] :
         {std::tuple{kAllLinkTypes, true, true}, std::tuple{LinkBit(ltA_href), false, false},
          std::tuple{kCrawlKinds, true, true}}) {
        fetcher.SetLinkTypes(kinds);
        ASSERT_TRUE(fetcher.Fetch(at("/links/index.html")));
        EXPECT_EQ(fetcher.FollowList()->IndexOf(at("/links/frame.html")) != -1, frame) << kinds;
        EXPECT_EQ(fetcher.FollowList()->IndexOf(at("/links/area.html")) != -1, area) << kinds;
        EXPECT_NE(fetcher.FollowList()->IndexOf(at("/links/rel.html")), -1);
    }
}
