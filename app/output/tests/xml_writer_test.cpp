#include "app/core/map_profile.h"
#include "app/output/tests/output_fixture.h"
#include "app/output/xml_sitemap.h"
#include "platform/rtl/stream.h"

#include <gtest/gtest.h>

#include <limits>

using namespace output_test;

TEST(XmlSitemap, GoldenFilesAreValidAgainstTheSchema) {
    TempDir dir;
    const std::pair<const char*, std::string> files[] = {
        {"sample.xml", BuildXmlSitemap(SampleTree().Nodes())},
        {"hostile.xml", BuildXmlSitemap(HostileTree().Nodes())},
        {"", BuildXmlSitemap({})},
    };
    for (const auto& [golden, xml] : files) {
        SCOPED_TRACE(golden);
        if (*golden) {
            EXPECT_EQ(xml, Golden(golden, xml));
        }
        WriteAll(dir / "out.xml", xml);
        EXPECT_EQ(SchemaErrors(dir / "out.xml"), "");
    }
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
        WriteAll(dir / "bad.xml", start + url + "</urlset>\r\n");
        EXPECT_NE(SchemaErrors(dir / "bad.xml"), "") << url;
    }
}

TEST(XmlSitemap, FieldsAtTheirEdges) {
    // An address must be at least 12 characters.
    Tree tree;
    tree.Add(kPageImage, 0, false, "short", "http://a.b/")
        .Add(kPageImage, 0, false, "long enough", "http://a.bc/");
    const std::string xml = BuildXmlSitemap(tree.Nodes());
    EXPECT_EQ(xml.find("<loc>http://a.b/</loc>"), std::string::npos);
    EXPECT_NE(xml.find("<loc>http://a.bc/</loc>"), std::string::npos);

    EXPECT_EQ(PriorityText(0.5), "0.5");
    EXPECT_EQ(PriorityText(1e-6), "0.000001");
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

TEST(XmlSitemap, WrittenPieceByPieceItIsTheSameText) {
    // Enough pages for many pieces, with repeated addresses that only the whole run can recognise.
    Tree tree;
    tree.Add(kFolderImage, 0, true, "Home", "http://www.example.com/");
    for (int i = 0; i < 3000; ++i)
        tree.Add(kPageImage, 1, false, "Page " + std::to_string(i),
                 "http://www.example.com/folder " + std::to_string(i % 2000) + "/p&q.html");
    const std::string whole = BuildXmlSitemap(tree.Nodes());
    EXPECT_GT(whole.size(), 200000u);
    TMemoryStream out;
    WriteXmlSitemap(tree.Nodes(), out);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.Bytes().data()), out.Bytes().size()), whole);
    size_t urls = 0;
    for (size_t at = whole.find("<url>"); at != std::string::npos; at = whole.find("<url>", at + 1))
        ++urls;
    EXPECT_EQ(urls, 1u + 2000);
}

TEST(XmlSitemap, EachAddressOnceWhateverItsHostsLetterCaseAndEscapedWhereItMustBe) {
    Tree tree;
    tree.Add(kFolderImage, 0, true, "Home", "http://www.example.com/")
        .Add(kPageImage, 1, false, "a", "http://WWW.Example.COM/Page.html")
        .Add(kPageImage, 1, false, "b", "http://www.example.com/Page.html")
        .Add(kPageImage, 1, false, "c", "http://www.example.com/page.html")
        .Add(kPageImage, 1, false, "d", "http://www.example.com/it's & that.html")
        .Add(kPageImage, 1, false, "e", "HTTP://www.example.com/it's & that.html")
        .Add(kPageImage, 1, false, "f", "http://www.example.com/");
    const std::string xml = BuildXmlSitemap(tree.Nodes());
    std::vector<std::string> locs;
    for (size_t at = xml.find("<loc>"); at != std::string::npos; at = xml.find("<loc>", at + 1))
        locs.push_back(xml.substr(at + 5, xml.find("</loc>", at) - at - 5));
    EXPECT_EQ(locs, (std::vector<std::string>{"http://www.example.com/", "http://WWW.Example.COM/Page.html",
                                              "http://www.example.com/page.html",
                                              "http://www.example.com/it&apos;s%20&amp;%20that.html"}));
}
