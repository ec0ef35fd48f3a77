#include "app/core/map_profile.h"
#include "app/output/tests/output_fixture.h"
#include "app/output/xml_sitemap.h"

#include <gtest/gtest.h>

#include <limits>

using namespace output_test;

TEST(XmlSitemap, GoldenFilesAreValidAgainstTheSchema) {
    TempDir dir;
    const std::string sample = BuildXmlSitemap(SampleTree().Nodes());
    EXPECT_EQ(sample, Golden("sample.xml", sample));
    WriteFile(dir / "sample.xml", sample);
    EXPECT_EQ(SchemaErrors(dir / "sample.xml"), "");

    const std::string hostile = BuildXmlSitemap(HostileTree().Nodes());
    EXPECT_EQ(hostile, Golden("hostile.xml", hostile));
    WriteFile(dir / "hostile.xml", hostile);
    EXPECT_EQ(SchemaErrors(dir / "hostile.xml"), "");

    const std::string empty = BuildXmlSitemap({});
    WriteFile(dir / "empty.xml", empty);
    EXPECT_EQ(SchemaErrors(dir / "empty.xml"), "");
}

TEST(XmlSitemap, TheSchemaRefusesWhatTheWriterAvoids) {
    // The checker itself must catch the faults the writer mends, or the tests above prove nothing.
    TempDir dir;
    const std::string head = BuildXmlSitemap({});
    const std::string start = head.substr(0, head.find("</urlset>"));
    for (const char* url :
         {"<url><loc>http://example.com/</loc><changefreq></changefreq></url>", "<url><loc></loc></url>",
          "<url><loc>http://example.com/</loc><priority>1E-6</priority></url>",
          "<url><loc>http://example.com/</loc><priority>1.5</priority></url>",
          "<url><loc>http://example.com/</loc><lastmod>2026-03-01T10:20:30</lastmod></url>"}) {
        WriteFile(dir / "bad.xml", start + url + "</urlset>\r\n");
        EXPECT_NE(SchemaErrors(dir / "bad.xml"), "") << url;
    }
}

TEST(XmlSitemap, ElementsFieldsAndDuplicates) {
    Tree tree;
    tree.Add(kFolderImage, 0, true, "Home", "http://Example.COM/Page.html");
    tree.Add(kPageImage, 1, false, "same host other case", "http://example.com/Page.html");
    tree.Add(kPageImage, 1, false, "other path case", "http://example.com/page.html");
    tree.Add(kPageImage, 1, false, "encoded twin", "http://example.com/a%20b");
    tree.Add(kPageImage, 1, false, "blank", "http://example.com/a b");
    tree.Last().ChangeFreq = cfNothing;
    tree.Add(kPageImage, 1, false, "short", "http://a.b/");
    const std::string xml = BuildXmlSitemap(tree.Nodes());
    EXPECT_EQ(xml.find("<loc>http://example.com/Page.html</loc>"), std::string::npos);
    EXPECT_NE(xml.find("<loc>http://Example.COM/Page.html</loc>"), std::string::npos);
    EXPECT_NE(xml.find("<loc>http://example.com/page.html</loc>"), std::string::npos);
    EXPECT_NE(xml.find("<loc>http://example.com/a%20b</loc>"), std::string::npos);
    EXPECT_EQ(xml.find("http://a.b/"), std::string::npos);
    size_t urls = 0;
    for (size_t at = xml.find("<url>"); at != std::string::npos; at = xml.find("<url>", at + 1))
        ++urls;
    EXPECT_EQ(urls, 3u);
    EXPECT_EQ(xml.substr(xml.size() - 11), "</urlset>\r\n");
    EXPECT_NE(xml.find("/sitemap.xsd\">\r\n\r\n  <url>"), std::string::npos);
}

TEST(XmlSitemap, PriorityDateAndSwitch) {
    EXPECT_EQ(PriorityText(0.5), "0.5");
    EXPECT_EQ(PriorityText(1), "1");
    EXPECT_EQ(PriorityText(1e-6), "0.000001");
    EXPECT_EQ(PriorityText(1e-7), "0");
    EXPECT_EQ(PriorityText(1.5), "1");
    EXPECT_EQ(PriorityText(-0.1), "0");
    EXPECT_EQ(PriorityText(std::numeric_limits<double>::quiet_NaN()), "0.5");
    EXPECT_EQ(PriorityText(std::numeric_limits<double>::infinity()), "1");

    for (const char* good :
         {"2026-03-01", "2026-03-01T10:20:30+01:00", "2026-03-01T10:20:30Z", "2026-12-31T23:59:59.125-05:30"})
        EXPECT_TRUE(IsW3CDateTime(good)) << good;
    for (const char* bad : {"", "yesterday", "2026-3-01", "2026-13-01", "2026-03-00", "2026-03-01T10:20:30",
                            "2026-03-01T10:20+01:00", "2026-03-01T24:00:00Z", "2026-03-01T10:20:30+0100",
                            "2026-03-01T10:20:30.Z", "2026-03-01T10:20:30Zx", "2026-03-01 10:20:30Z"})
        EXPECT_FALSE(IsW3CDateTime(bad)) << bad;

    TMapProfile profile;
    profile.SetWebsite("http://");
    EXPECT_FALSE(XmlSitemapWanted(profile));
    profile.SetWebsite("http://a");
    EXPECT_TRUE(XmlSitemapWanted(profile));
    profile.SetMakeGoogleSM(false);
    EXPECT_FALSE(XmlSitemapWanted(profile));
}
