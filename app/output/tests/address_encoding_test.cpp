// Addresses as hostile pages and file names make them: in both outputs every character that may not
// stand in its part of an address is percent-encoded, so the sitemap validates and a real HTML parser
// reads back the same address.
#include "app/core/map_profile.h"
#include "app/output/html_escape.h"
#include "app/output/html_site_map.h"
#include "app/output/tests/output_fixture.h"
#include "app/output/xml_sitemap.h"

#include <gtest/gtest.h>

using namespace output_test;

TEST(AddressEncoding, EveryPartHoldsOnlyWhatItMayAndBothOutputsAgree) {
    const std::pair<std::string, std::string> cases[] = {
        {"http://example.com/]]>.html", "http://example.com/%5D%5D%3E.html"},
        {"http://example.com/[a]/b.html?x=[1]#[top]",
         "http://example.com/%5Ba%5D/b.html?x=%5B1%5D#%5Btop%5D"},
        {"http://example.com/a#b#c", "http://example.com/a#b%23c"},
        {"http://example.com/a?b?c/d#e?f/g", "http://example.com/a?b?c/d#e?f/g"},
        {"http://[::1]:8080/x[1].html", "http://[::1]:8080/x%5B1%5D.html"},
        {"http://u@v@example.com/", "http://u%40v@example.com/"},
        {"http://example.com:8o/", "http://example.com%3A8o/"},
        {"http://example.com/100%/%zz/%4/%C3%A9", "http://example.com/100%25/%25zz/%254/%C3%A9"},
        {"http://example.com/\x1b[2J\x7f\x01", "http://example.com/%1B%5B2J%7F%01"},
        {"http://example.com/a\\b|c{d}^`\"<>", "http://example.com/a%5Cb%7Cc%7Bd%7D%5E%60%22%3C%3E"},
        {"http://example.com/caf\xC3\xA9 \xFF", "http://example.com/caf%C3%A9%20%FF"},
        {"http://example.com/ok/@:!$&'()*+,;=-._~", "http://example.com/ok/@:!$&'()*+,;=-._~"},
        {"https://EXAMPLE.com/", "https://EXAMPLE.com/"},
    };
    Tree tree;
    tree.Add(kFolderImage, 0, true, "Home", "http://example.com/");
    std::string expectedLinks;
    for (const auto& [address, encoded] : cases) {
        EXPECT_EQ(PercentEncodeUrl(address), encoded) << address;
        EXPECT_EQ(PercentEncodeUrl(encoded), encoded) << "encoding twice changes nothing";
        tree.Add(kPageImage, 1, false, "page", address);
        expectedLinks += "(" + encoded + "|page)";
    }

    TempDir dir;
    WriteAll(dir / "hostile.xml", BuildXmlSitemap(tree.Nodes()));
    EXPECT_EQ(SchemaErrors(dir / "hostile.xml"), "");
    TMapProfile profile;
    WriteAll(dir / "hostile.html", WrapSiteMapPage(profile, BuildHtmlSiteMap(profile, tree.Nodes())));
    EXPECT_NE(HtmlOutline(dir / "hostile.html").find(expectedLinks), std::string::npos)
        << HtmlOutline(dir / "hostile.html");
}
