#include "app/crawl/crawl_address.h"
#include "app/crawl/crawl_queue.h"

#include <gtest/gtest.h>

namespace {

TEST(CrawlQueue, FirstInFirstOutWithExactQueueAndCaseBlindVisitedLookups) {
    TCrawlQueue q;
    EXPECT_EQ(q.EnqueueUrl("http://h/a.html", "A", ""), 0);
    EXPECT_EQ(q.EnqueueUrl("http://h/b.html", "B", "http://h/"), 1);
    EXPECT_EQ(q.EnqueueUrl("http://h/a.html", "again", "x"), -1);
    // The queue compares exactly: another letter case is another entry.
    EXPECT_EQ(q.EnqueueUrl("http://h/A.html", "upper", ""), 2);

    std::string text, url, referrer;
    ASSERT_TRUE(q.DequeueUrl(text, url, referrer));
    EXPECT_EQ(url, "http://h/a.html");
    EXPECT_EQ(text, "A");
    q.AddVisited(url);
    // Taken from the queue, the address is no longer queued, but visited without regard to case.
    EXPECT_FALSE(q.IsQueued("http://h/a.html"));
    EXPECT_EQ(q.EnqueueUrl("HTTP://H/A.HTML", "", ""), -1);
    EXPECT_EQ(q.EnqueueUrl("http://h/c.html", "C", ""), 2);

    ASSERT_TRUE(q.DequeueUrl(text, url, referrer));
    EXPECT_EQ(url, "http://h/b.html");
    EXPECT_EQ(referrer, "http://h/");
    ASSERT_TRUE(q.DequeueUrl(text, url, referrer));
    EXPECT_EQ(url, "http://h/A.html");
    ASSERT_TRUE(q.DequeueUrl(text, url, referrer));
    EXPECT_EQ(url, "http://h/c.html");
    EXPECT_FALSE(q.DequeueUrl(text, url, referrer));
    EXPECT_TRUE(text.empty() && url.empty() && referrer.empty());

    q.Clear();
    EXPECT_FALSE(q.IsVisited("http://h/a.html"));
    EXPECT_EQ(q.EnqueueUrl("http://h/a.html", "A", ""), 0);
}

TEST(CrawlAddress, EncodingSameSiteAndFolderKeys) {
    EXPECT_EQ(crawl::EncodeAddress("http://h/c++/a b\"<x>.html?q=1&r=%41"),
              "http://h/c++/a%20b%22%3Cx%3E.html?q=1&r=%41");
    EXPECT_EQ(crawl::EncodeAddress("http://h/caf\xC3\xA9{}|.html"), "http://h/caf%C3%A9%7B%7D%7C.html");

    EXPECT_TRUE(crawl::IsOnSite("http://h:8080/a", "http://h:8080/"));
    EXPECT_TRUE(crawl::IsOnSite("HTTP://H:8080/a", "http://h:8080/"));
    EXPECT_FALSE(crawl::IsOnSite("http://h:8081/a", "http://h:8080/"));
    EXPECT_FALSE(crawl::IsOnSite("http://g:8080/a", "http://h:8080/"));
    EXPECT_TRUE(crawl::IsOnSite("https://h/a", "http://h/")); // http on 80 and https on 443: one site
    EXPECT_FALSE(crawl::IsOnSite("https://h:80/a", "http://h/"));
    EXPECT_FALSE(crawl::IsOnSite("mailto:someone@h", "http://h/"));
    EXPECT_FALSE(crawl::IsOnSite("not an address", "neither is this"));

    EXPECT_EQ(crawl::NormaliseSchemeAndHost("HTTP://Site.Example:80/Dir/A.html?Q"),
              "http://site.example:80/Dir/A.html?Q");
    EXPECT_EQ(crawl::NormaliseSchemeAndHost("HTTP://Site"), "http://site");
    EXPECT_EQ(crawl::NormaliseSchemeAndHost("no scheme/X"), "no scheme/X");
}

TEST(CrawlAddress, SiteFormAndUserInformation) {
    const std::string site = crawl::SitePrefix("HTTPS://u:p@Site.Example/dir/start.html");
    EXPECT_EQ(site, "https://site.example");
    for (const auto& [link, form] : std::vector<std::pair<std::string, std::string>>{
             {"https://site.example/a.html?q=1#f", "https://site.example/a.html?q=1#f"},
             {"http://Site.Example/a.html", "https://site.example/a.html"},
             {"http://site.example:80/b/", "https://site.example/b/"},
             {"http://user:pw@site.example/c.html", "https://site.example/c.html"},
             {"https://site.example", "https://site.example/"},
             {"https://site.example?x", "https://site.example/?x"}})
        EXPECT_EQ(crawl::OnSiteForm(link, site), form) << link;

    std::string user, password;
    EXPECT_EQ(crawl::SplitUserInfo("http://me:s%40cret@h:8080/a@b.html", user, password),
              "http://h:8080/a@b.html");
    EXPECT_EQ(user + " " + password, "me s@cret");
    EXPECT_EQ(crawl::SplitUserInfo("http://me@h/", user, password), "http://h/");
    EXPECT_EQ(user + " " + password, "me ");
    EXPECT_EQ(crawl::SplitUserInfo("http://h/a@b", user, password), "http://h/a@b");
    EXPECT_EQ(user + password, "");

    EXPECT_EQ(crawl::WithoutPassword("http://me:s%40cret@h/x"), "http://me:***@h/x");
    EXPECT_EQ(crawl::WithoutPassword("http://me@h/x:y@z"), "http://me@h/x:y@z");
    EXPECT_EQ(crawl::WithoutPassword("http://h/x:y@z"), "http://h/x:y@z");
}

} // namespace
