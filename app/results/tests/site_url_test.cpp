#include "app/results/site_url.h"

#include <gtest/gtest.h>

namespace {

using results::EncodePathSegment;
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

} // namespace
