#include "app/results/site_url.h"

#include <gtest/gtest.h>

namespace {

using results::EncodePathSegment;
using results::SiteFolder;
using results::SiteUrl;

TEST(SiteUrl, SegmentsArePercentEncodedAsUtf8) {
    EXPECT_EQ(EncodePathSegment("my page.html"), "my%20page.html");
    EXPECT_EQ(EncodePathSegment("caf\xC3\xA9"), "caf%C3%A9");
    // A literal plus is a plus in a path; it must not stand for a blank.
    EXPECT_EQ(EncodePathSegment("c++"), "c++");
    EXPECT_EQ(EncodePathSegment("a#b?c\"<>"), "a%23b%3Fc%22%3C%3E");
    // Valid escapes stay; a lone or broken "%" is itself escaped.
    EXPECT_EQ(EncodePathSegment("%41%2f"), "%41%2f");
    EXPECT_EQ(EncodePathSegment("100%"), "100%25");
    EXPECT_EQ(EncodePathSegment("%zz%4"), "%25zz%254");
    EXPECT_EQ(EncodePathSegment("~a-b_c.d"), "~a-b_c.d");
}

TEST(SiteUrl, ExactlyOneSlashJoinsSiteAndPath) {
    EXPECT_EQ(SiteUrl("http://host/dir", "index.html"), "http://host/dir/index.html");
    EXPECT_EQ(SiteUrl("http://host/dir/", "index.html"), "http://host/dir/index.html");
    EXPECT_EQ(SiteUrl("http://host//", "a/b.html"), "http://host/a/b.html");
    EXPECT_EQ(SiteUrl("http://host", ""), "http://host/");
    EXPECT_EQ(SiteUrl("http://host", "docs/sub dir/"), "http://host/docs/sub%20dir/");
    EXPECT_EQ(SiteUrl("http://host", "a//b.html"), "http://host/a/b.html");
}

TEST(SiteUrl, AnAddressThatNamesAFileStandsForItsFolder) {
    EXPECT_EQ(SiteFolder("http://127.0.0.1:8184/index.html", "index.html"), "http://127.0.0.1:8184/");
    EXPECT_EQ(SiteFolder("https://host/shop/cart.php?x=1#top", "index.html"), "https://host/shop/");
    EXPECT_EQ(SiteFolder("http://host/site/home", "home"), "http://host/site/")
        << "the index page's own name";
    // Folders stay as they are given, dots in the host or a folder's name notwithstanding.
    for (const char* folder : {"http://www.example.com", "http://www.example.com/", "http://host/docs",
                               "http://host/v1.2/", "http://host/.well-known", "http://host/dir?page=a.html"})
        EXPECT_EQ(SiteFolder(folder, "index.html"), folder);
}

} // namespace
