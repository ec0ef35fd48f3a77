#include "fetch/html/plugins.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fetch/html/typed_containers.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/unicode.h"
#include "tests/support/thrown_message.h"

namespace {

struct Page {
    TDIHtmlParser parser;
    TDIHtmlCharSetPlugin charset;
    TDIHtmlLinksPlugin links;
    TDIHtmlTitlePlugin title;
    std::vector<std::string> found;

    Page() {
        charset.SetHtmlParser(&parser);
        links.SetHtmlParser(&parser);
        title.SetHtmlParser(&parser);
        links.SetLink_A_href(true);
        links.SetLink_AREA_href(true);
        links.SetLink_FRAME_src(true);
        links.SetLink_IFRAME_src(true);
        links.SetBASE_href(true);
        links.SetOnLink([this](TDIHtmlLinksPlugin*, std::u16string& link, bool&, bool&) {
            found.push_back(Utf16ToUtf8(link));
        });
    }

    void Parse(const std::string& bytes, const std::u16string& address = u"http://h/dir/page.html") {
        found.clear();
        links.SetBaseUri(address);
        parser.SetSourceString(bytes);
        parser.Clear();
        parser.ParseAll();
    }
    std::string Title() const { return Utf16ToUtf8(title.Title()); }
};

} // namespace

TEST(Plugins, LinksOfTheKindsAskedFor) {
    Page page;
    page.Parse("<a href='a.html'>x</a><img src=i.png><AREA HREF=b><frame src=f><iframe src=\"g\">"
               "<a name=x><link href=s.css>");
    EXPECT_EQ(page.found, (std::vector<std::string>{"a.html", "b", "f", "g"}));
    page.links.SetLink_A_href(false);
    page.links.SetLink_IMG_src(true);
    EXPECT_TRUE(page.links.Link_IMG_src());
    EXPECT_FALSE(page.links.Link_A_href());
    page.Parse("<a href=a><img src=i.png>");
    EXPECT_EQ(page.found, (std::vector<std::string>{"i.png"}));
}

TEST(Plugins, BaseIsResolvedAndOnlyTheFirstCounts) {
    Page page;
    page.Parse("<base href='../other/'><base href='http://x/'><a href=a>");
    EXPECT_EQ(Utf16ToUtf8(page.links.BaseUri()), "http://h/other/");
    page.Parse("<base href='http://x/y/'>");
    EXPECT_EQ(Utf16ToUtf8(page.links.BaseUri()), "http://x/y/");
}

TEST(Plugins, LinkVectorCollectsEachLinkOnceAndHandlersMayRewrite) {
    TDIHtmlParser parser;
    TDIHtmlLinksPlugin links;
    links.SetHtmlParser(&parser);
    links.SetLink_A_href(true);
    TDIWideStringVector vector;
    links.SetLinkVector(&vector);
    parser.SetSourceString("<a href=x><a href=y><a href=x>");
    parser.Clear();
    parser.ParseAll();
    ASSERT_EQ(vector.Count(), 2);
    EXPECT_EQ(vector.Str(1), u"y");
    links.SetOnLink([](TDIHtmlLinksPlugin*, std::u16string& link, bool& add, bool&) {
        link = u"re-" + link;
        add = link != u"re-y";
    });
    parser.SetSourceString("<a href=x><a href=y>");
    parser.Clear();
    parser.ParseAll();
    ASSERT_EQ(vector.Count(), 1);
    EXPECT_EQ(vector.Str(0), u"re-x");
    links.SetOnLink(nullptr);
    links.SetLinkVector(nullptr);
    EXPECT_EQ(links.TagFilters(tkHtml), nullptr);
}

TEST(Plugins, TitleIsTheFirstOneCappedAndResetPerDocument) {
    Page page;
    page.Parse("<title> First \n title </title><title>Second</title>");
    EXPECT_EQ(page.Title(), " First title ");
    page.Parse("<html><title>Next</title>");
    EXPECT_EQ(page.Title(), "Next");
    page.Parse("<title>" + std::string(5000, 'x'));
    EXPECT_EQ(page.title.Title().size(), TDIHtmlTitlePlugin::kMaxTitleLength);
    page.Parse("no title");
    EXPECT_EQ(page.Title(), "");
}

TEST(Plugins, CharacterSetFromMetaSwitchesTheDecoder) {
    Page page;
    page.Parse("<meta http-equiv=\"content-type\" content=\"text/html; CHARSET = utf-8\">"
               "<title>caf\xC3\xA9</title>");
    EXPECT_EQ(page.Title(), "caf\xC3\xA9");
    page.Parse("<meta charset=\"KOI8-R\"><title>\xC1</title>");
    EXPECT_EQ(page.Title(), "\xD0\xB0");
    page.Parse(
        "<meta http-equiv=Content-Type content=\"text/html; charset='utf-8'\"><title>\xC3\xA9</title>");
    EXPECT_EQ(page.Title(), "\xC3\xA9");
    // Latin-1 labels read as windows-1252; unknown names keep the decoder in use.
    page.Parse("<meta charset=iso-8859-1><title>\x93q\x94</title>");
    EXPECT_EQ(page.Title(), "\xE2\x80\x9Cq\xE2\x80\x9D");
    page.Parse("<meta charset=utf-8><meta charset=x-unknown><title>\xC3\xA9</title>");
    EXPECT_EQ(page.Title(), "\xC3\xA9");
    // "charset" without "=" in a content value names no character set.
    page.Parse("<meta http-equiv=content-type content=\"text/html; charset koi8-r\"><title>\xC1</title>");
    EXPECT_EQ(page.Title(), "\xC3\x81") << "read as windows-1252, not KOI8-R";
    // A byte-order mark outranks the label; the HTTP header's charset is the starting point.
    page.Parse("\xEF\xBB\xBF<meta charset=koi8-r><title>\xC3\xA9</title>");
    EXPECT_EQ(page.Title(), "\xC3\xA9");
    page.charset.SetDefaultReadMethod(&ReadCharUtf8);
    page.Parse("<title>\xC3\xA9</title>");
    EXPECT_EQ(page.Title(), "\xC3\xA9");
    page.charset.SetDefaultReadMethod(nullptr);
    page.Parse("<title>\xE9</title>");
    EXPECT_EQ(page.Title(), "\xC3\xA9");

    std::u16string vetoed;
    page.charset.OnCharSetChange = [&](TDIHtmlCharSetPlugin*, const std::u16string& name,
                                       const TDIReadMethod*&, bool& allow) {
        vetoed = name;
        allow = false;
    };
    page.Parse("<meta charset=utf-8><title>\xC3\xA9</title>");
    EXPECT_EQ(vetoed, u"utf-8");
    EXPECT_EQ(page.Title(), "\xC3\x83\xC2\xA9");
}

TEST(Plugins, AliasTable) {
    EXPECT_EQ(CharSetReadMethod(u"ISO_8859-7:1987"), CodePageReadMethod("ISO-8859-7"));
    EXPECT_EQ(CharSetReadMethod(u"UTF-8"), &ReadCharUtf8);
    EXPECT_EQ(CharSetReadMethod(u"utf8"), &ReadCharUtf8);
    EXPECT_EQ(CharSetReadMethod(u"cp1251"), CodePageReadMethod("windows-1251"));
    EXPECT_EQ(CharSetReadMethod(u"866"), CodePageReadMethod("IBM866"));
    EXPECT_EQ(CharSetReadMethod(u"GBK"), &ReadCharGb18030);
    EXPECT_EQ(CharSetReadMethod(u"gb2312"), &ReadCharGb18030);
    EXPECT_EQ(CharSetReadMethod(u"us"), &ReadCharUsAscii);
    EXPECT_EQ(CharSetReadMethod(u"ISO-8859-5"), nullptr);
    EXPECT_EQ(CharSetReadMethod(u"Shift_JIS"), nullptr);
}

TEST(Plugins, RelTokensAndPluginErrors) {
    EXPECT_TRUE(HasAttributeToken(u"noopener NoFollow", u"nofollow"));
    EXPECT_FALSE(HasAttributeToken(u"nofollowing", u"nofollow"));
    EXPECT_FALSE(HasAttributeToken(u"", u"nofollow"));

    TDIHtmlParser parser;
    TDIHtmlLinksPlugin links;
    links.SetHtmlParser(&parser);
    TDITagFilters odd;
    odd.SetStartTagFilter(75, fiShowLocal); // P is no link kind
    links.SetTagFilters(tkHtml, &odd);
    parser.SetSourceString("<p>");
    parser.Clear();
    EXPECT_EQ(testsupport::ThrownMessage<Exception>([&] { parser.ParseAll(); }),
              "Class TDIHtmlLinksPlugin: Unrequested tag ('p') encountered. This should not happen and might "
              "indicate a bug in TDIHtmlParser.");
    links.SetTagFilters(tkHtml, nullptr);
}

namespace {

std::string ReadData(const char* name) {
    std::ifstream in(std::string(PW_TEST_DATA_DIR) + "/data/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Plugins, RealPagesInTheirEncodings) {
    Page page;
    page.links.SetLink_BODY_background(true);
    page.Parse(ReadData("windows1251.html"), u"http://site/ru/news.html");
    EXPECT_EQ(page.Title(), "Новости компании «Ромашка»");
    EXPECT_EQ(Utf16ToUtf8(page.links.BaseUri()), "http://site/ru/");
    EXPECT_EQ(page.found, (std::vector<std::string>{"img/bg.gif", "index.html", "news/2006.html",
                                                    "map/a.html", "http://example.org/frame.html", "#top"}));

    page.links.SetLink_BODY_background(false);
    page.Parse(ReadData("gb2312.html"));
    EXPECT_EQ(page.Title(), "首页 — 中文");
    EXPECT_EQ(page.found, (std::vector<std::string>{"关于.html", "left.html"}));

    page.Parse(ReadData("utf8_bom.html"));
    EXPECT_EQ(page.Title(), "Café “déjà vu”");
    EXPECT_EQ(page.found, (std::vector<std::string>{"café.html"}));
}
