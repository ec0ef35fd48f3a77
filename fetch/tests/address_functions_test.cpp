#include "fetch/address_functions.h"
#include "fetch/http_status_text.h"
#include "fetch/mime_type.h"

#include <gtest/gtest.h>

TEST(FetcherFunctions, SameHostIgnoresCaseAndCountsThePortWithTheTwoSchemesOwnPortsAsOne) {
    EXPECT_TRUE(SameHost("http://Example.COM/a.html", "http://example.com/b/"));
    EXPECT_TRUE(SameHost("http://example.com:80/", "HTTP://example.com/x"));
    EXPECT_TRUE(SameHost("https://example.com:0443/", "https://example.com/"));
    EXPECT_FALSE(SameHost("http://example.com:8080/", "http://example.com/"));
    // http on 80 and https on 443 are one site; the same other port is the same site in either scheme.
    EXPECT_TRUE(SameHost("http://example.com/", "https://EXAMPLE.com/"));
    EXPECT_TRUE(SameHost("http://example.com:80/", "https://example.com:443/"));
    EXPECT_TRUE(SameHost("http://example.com:8443/", "https://example.com:8443/"));
    EXPECT_FALSE(SameHost("https://example.com:80/", "https://example.com/"));
    EXPECT_FALSE(SameHost("http://example.com:443/", "http://example.com/"));
    EXPECT_FALSE(SameHost("http://example.com/", "http://www.example.com/"));
    EXPECT_FALSE(SameHost("http://example.com:8x/", "http://example.com/"));
    // Neither parses: both have no host.
    EXPECT_TRUE(SameHost("http://a b/", "http://c:d/"));
}

TEST(FetcherFunctions, StripQueryAndFragment) {
    EXPECT_EQ(StripQueryAndFragment("http://h/p/a.php?x=1#f"), "http://h/p/a.php");
    EXPECT_EQ(StripQueryAndFragment("http://h/p/"), "http://h/p/");
    EXPECT_EQ(StripQueryAndFragment("http://h?q"), "http://h");
    EXPECT_EQ(StripQueryAndFragment("http://h:8x/x?y"), "");
}

TEST(FetcherFunctions, FileTypeTestTakesTheLastExtensionInAnyCase) {
    EXPECT_TRUE(IsFileTypeInList("a.HTML", "*.htm;*.html;"));
    EXPECT_FALSE(IsFileTypeInList("a.htm", "*.html;"));
    EXPECT_TRUE(IsFileTypeInList("http://h/photo.JPG", "*.gif;*.jpg;"));
    EXPECT_FALSE(IsFileTypeInList("http://h/v1.2/page", "*.2/page;*.2;"));
    EXPECT_TRUE(IsFileTypeInList("http://h/v1.2/page", "*;"));
    EXPECT_TRUE(IsFileTypeInList("archive.tar.GZ", "*.gz;"));
    // The list's end ends its last entry as its semicolon would.
    EXPECT_TRUE(IsFileTypeInList("a.pdf", "*.pdf"));
    EXPECT_FALSE(IsFileTypeInList("a.pdf", "*.pdfx"));
}

TEST(FetcherFunctions, StatusTexts) {
    EXPECT_EQ(HttpStatusText(404), "Not Found");
    EXPECT_EQ(HttpStatusText(302), "Moved Temporarily");
    EXPECT_EQ(HttpStatusText(503), "Out of Resources");
    EXPECT_EQ(HttpStatusText(505), "HTTP Version not supported");
    EXPECT_EQ(HttpStatusText(418), "Unknown Error");
    EXPECT_EQ(HttpStatusText(0), "Unknown Error");
}

TEST(FetcherFunctions, ContentTypePieces) {
    EXPECT_EQ(MediaTypeOf("text/html; charset=UTF-8"), "text/html");
    EXPECT_EQ(MediaTypeOf(" Text/HTML ;x"), " Text/HTML ");
    EXPECT_EQ(MimeTypeOf("Text/html"), mimeText);
    EXPECT_EQ(MimeTypeOf("video/mp4"), mimeVideo);
    EXPECT_EQ(MimeTypeOf("application/pdf"), mimeApplication);
    EXPECT_EQ(MimeTypeOf("text"), mimeUnknown);
    EXPECT_EQ(MimeTypeOf("font/woff"), mimeUnknown);
    EXPECT_EQ(CharSetOf("text/html; charset=windows-1251"), "windows-1251");
    EXPECT_EQ(CharSetOf("text/html;CHARSET=\"koi8-r\"; q=1"), "koi8-r");
    EXPECT_EQ(CharSetOf("text/html; format=flowed; charset = utf-8 "), "utf-8");
    EXPECT_EQ(CharSetOf("text/html"), "");
    EXPECT_EQ(CharSetOf("text/html; xcharset=utf-8"), "");
    // A parameter named charset with no "=" names nothing; a later one still counts.
    EXPECT_EQ(CharSetOf("text/html; charset"), "");
    EXPECT_EQ(CharSetOf("text/html; charset; charset=utf-8"), "utf-8");
}
