#include <gtest/gtest.h>

#include "app/core/ignore_entries.h"

TEST(IgnoreEntries, WebsiteEntriesAreWholeWebAddressesAndFoldersEndInASlash) {
    EXPECT_EQ(WebsiteIgnoreEntry(" http://site/a ", true), "http://site/a/");
    EXPECT_EQ(WebsiteIgnoreEntry("HTTPS://Site/a/", true), "HTTPS://Site/a/");
    EXPECT_EQ(WebsiteIgnoreEntry("http://site/a.html", false), "http://site/a.html");
    for (const char* refused :
         {"", "   ", "http://", "https:///x", "site/a/", "ftp://site/a/", "x http://site/"})
        EXPECT_EQ(WebsiteIgnoreEntry(refused, true), "") << refused;
}

TEST(IgnoreEntries, FileTypesAreTrimmedAndEachEndsInASemicolon) {
    EXPECT_EQ(NormalFileTypes("*.htm; *.html ;;*.php"), "*.htm;*.html;*.php;");
    EXPECT_EQ(NormalFileTypes("*.htm;"), "*.htm;");
    EXPECT_EQ(NormalFileTypes(" ; "), "");
    EXPECT_EQ(NormalFileTypes(""), "");
}
