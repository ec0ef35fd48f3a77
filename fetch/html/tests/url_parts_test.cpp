#include "fetch/html/url_parts.h"

#include <gtest/gtest.h>

using Strings = std::vector<std::string>;

TEST(UrlParts, SplitsFoldersAndFile) {
    TURLparts p;
    p.SetURL("http://site/a/b/page.html");
    EXPECT_EQ(p.Segments(), (Strings{"a", "b", "page.html"}));
    EXPECT_EQ(p.Prefixes(), (Strings{"http://site/a/", "http://site/a/b/", "http://site/a/b/page.html"}));
    EXPECT_TRUE(p.HasFile());
    EXPECT_EQ(p.FileName(), "page.html");
    EXPECT_EQ(p.FolderOf(), "http://site/a/b/");

    p.SetURL("http://site/a/b");
    EXPECT_FALSE(p.HasFile());
    EXPECT_EQ(p.FileName(), "");
    EXPECT_EQ(p.FolderOf(), "http://site/a/b/");

    p.SetURL("http://site/page.html");
    EXPECT_EQ(p.Prefixes(), (Strings{"http://site/page.html"}));
    EXPECT_EQ(p.FolderOf(), "http://site/");

    p.SetURL("http://user@site:81/a/?x=1#top");
    EXPECT_FALSE(p.HasFile());
    EXPECT_TRUE(p.HasQuery());
    EXPECT_EQ(p.FolderOf(), "http://user@site:81/a/");
    EXPECT_EQ(p.FileAddress(), "http://user@site:81/a/");
    EXPECT_EQ(p.FullAddress(), "http://user@site:81/a/?x=1#top");
    EXPECT_EQ(p.URL(), "http://user@site:81/a/?x=1#top");
}

TEST(UrlParts, SplitsOnSlashOnlyAndTrailingSlashMeansFolder) {
    TURLparts p;
    p.SetURL("http://site/my page/\"q\" b/x.htm");
    EXPECT_EQ(p.Segments(), (Strings{"my page", "\"q\" b", "x.htm"}));
    EXPECT_EQ(p.FolderOf(), "http://site/my page/\"q\" b/");

    p.SetURL("http://site/v1.2/");
    EXPECT_FALSE(p.HasFile());
    EXPECT_EQ(p.Prefixes(), (Strings{"http://site/v1.2/"}));
    EXPECT_EQ(p.FolderOf(), "http://site/v1.2/");

    // A "/" in the query must not decide the folder.
    p.SetURL("http://site/a/list?next=/b/c");
    EXPECT_FALSE(p.HasFile());
    EXPECT_EQ(p.FolderOf(), "http://site/a/list/");

    p.SetURL("http://site");
    EXPECT_TRUE(p.Segments().empty());
    EXPECT_EQ(p.FolderOf(), "http://site/");

    // Empty segments are no folders; the lists asked for before are those of the address set since.
    p.SetURL("http://site//a//b.v2");
    EXPECT_TRUE(p.HasFile());
    EXPECT_EQ(p.FileName(), "b.v2");
    EXPECT_EQ(p.Segments(), (Strings{"a", "b.v2"}));
    EXPECT_EQ(p.FolderOf(), "http://site/a/");
    EXPECT_EQ(p.FileAddress(), "http://site//a//b.v2");
    p.SetURL("http://site/c/d");
    EXPECT_FALSE(p.HasFile());
    EXPECT_EQ(p.Prefixes(), (Strings{"http://site/c/", "http://site/c/d/"}));
    EXPECT_EQ(p.FolderOf(), "http://site/c/d/");
}
