#include "fetch/html/html_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fetch/html/parser_plugin.h"
#include "platform/rtl/unicode.h"

namespace {

const char* KindName(TDIPieceKind k) {
    static const char* names[] = {"None", "ASP",    "CDATA", "Comment", "Custom", "DTD",   "HtmlPI", "Tag",
                                  "PHP",  "Script", "SSI",   "Style",   "Text",   "Title", "XmlPI"};
    return names[static_cast<size_t>(k)];
}

std::string Describe(TDIHtmlParser& p) {
    TDIPieceKind k = p.PieceKind();
    std::string out = KindName(k);
    TDITag* tag = k == TDIPieceKind::HtmlTag     ? static_cast<TDITag*>(&p.HtmlTag())
                  : k == TDIPieceKind::CustomTag ? static_cast<TDITag*>(&p.CustomTag())
                  : k == TDIPieceKind::SsiTag    ? static_cast<TDITag*>(&p.SsiTag())
                                                 : nullptr;
    if (tag == nullptr) return out + "[" + Utf16ToUtf8(p.GetText()) + "]";
    const char* types[] = {"", "/", "/>"};
    out += std::string("(") + types[tag->TagType()] + Utf16ToUtf8(tag->TagName()) + "#" +
           std::to_string(tag->TagID());
    for (int32_t i = 0; i < tag->Count(); ++i)
        out += " " + Utf16ToUtf8(tag->Str(i)) + "#" + std::to_string(tag->Number(i)) + "=" +
               Utf16ToUtf8(tag->Str2(i));
    return out + ")";
}

// Receives every piece kind and writes down what it got.
class Recorder : public TDIHtmlParserPlugin {
public:
    explicit Recorder(TDIFilter filter = fiShowLocal) {
        for (size_t k = 1; k < kPieceKindCount; ++k)
            SetFilter(static_cast<TDIPieceKind>(k), filter);
        for (TDITagFilter* f : {&FilterHtmlTags(), &FilterCustomTags(), &FilterSsiTags()}) {
            f->SetStartTags(filter);
            f->SetEndTags(filter);
        }
    }
    std::vector<std::string> pieces;

    void Record() { pieces.push_back(Describe(*HtmlParser())); }
    void HandleASP(bool&) override { Record(); }
    void HandleCDataSection(bool&) override { Record(); }
    void HandleComment(bool&) override { Record(); }
    void HandleDTD(bool&) override { Record(); }
    void HandleCustomTag(bool&) override { Record(); }
    void HandlePHP(bool&) override { Record(); }
    void HandleHtmlPI(bool&) override { Record(); }
    void HandleScript(bool&) override { Record(); }
    void HandleSsiTag(bool&) override { Record(); }
    void HandleStyle(bool&) override { Record(); }
    void HandleHtmlTag(bool&) override { Record(); }
    void HandleText(bool&) override { Record(); }
    void HandleTitle(bool&) override { Record(); }
    void HandleXmlPI(bool&) override { Record(); }
};

struct Options {
    bool normalize = false, asp = false, php = false, ssi = false, custom = false;
};

std::vector<std::string> Pieces(const std::string& html, Options o = {}) {
    TDIHtmlParser parser;
    parser.SetNormalizeWhiteSpace(o.normalize);
    parser.SetEnableASP(o.asp);
    parser.SetEnablePHP(o.php);
    parser.SetEnableSSI(o.ssi);
    parser.SetEnableCustomTags(o.custom);
    Recorder recorder;
    recorder.SetHtmlParser(&parser);
    parser.SetSourceString(html);
    parser.Clear();
    parser.ParseAll();
    return recorder.pieces;
}

using V = std::vector<std::string>;

} // namespace

TEST(Tokenizer, RecognisesTheFourteenPieceKinds) {
    Options all{false, true, true, true, true};
    EXPECT_EQ(Pieces("<% a %>", all), (V{"ASP[ a ]"}));
    EXPECT_EQ(Pieces("<![cdata[x]]]>", all), (V{"CDATA[x]]"}));
    EXPECT_EQ(Pieces("<!-- a -- b -->", all), (V{"Comment[ a -- b ]"}));
    EXPECT_EQ(Pieces("<#my a=1>", all), (V{"Custom(my#0 a#0=1)"}));
    EXPECT_EQ(Pieces("<!doctype html>", all), (V{"DTD[ html]"}));
    EXPECT_EQ(Pieces("<?pi x?>", all), (V{"HtmlPI[pi x?]"}));
    EXPECT_EQ(Pieces("<A HREF=x>", all), (V{"Tag(A#1 HREF#52=x)"}));
    EXPECT_EQ(Pieces("<?PHP echo 1; ?>", all), (V{"PHP[ echo 1; ]"}));
    EXPECT_EQ(Pieces("<script>a<b</script>", all), (V{"Tag(script#82)", "Script[a<b]", "Tag(/script#82)"}));
    EXPECT_EQ(Pieces("<!--#include file=\"a.inc\" -->", all), (V{"SSI(include#0 file#0=a.inc)"}));
    EXPECT_EQ(Pieces("<style>p{}</STYLE >", all), (V{"Tag(style#89)", "Style[p{}]", "Tag(/STYLE#89)"}));
    EXPECT_EQ(Pieces("plain", all), (V{"Text[plain]"}));
    EXPECT_EQ(Pieces("<title> a &amp;\n b </title>", all),
              (V{"Tag(title#99)", "Title[ a & b ]", "Tag(/title#99)"}));
    EXPECT_EQ(Pieces("<?xml version=\"1.0\"?>", all), (V{"XmlPI[ version=\"1.0\"]"}));
    EXPECT_EQ(Pieces("<#/my><#3>", all), (V{"Custom(/my#0)", "Text[<#3>]"}));
    EXPECT_EQ(Pieces("<!--#/if--><!--#else-->", all), (V{"SSI(/if#0)", "SSI(else#0)"}));
    EXPECT_EQ(Pieces("<!--#set var=\"a\\\"b\" value=x-->", all), (V{"SSI(set#0 var#0=a\"b value#122=x)"}));
    EXPECT_EQ(Pieces("<!--#x /-->", all), (V{"SSI(/>x#0)"}));
    EXPECT_EQ(Pieces("<!--#x -->"), (V{"Comment[#x ]"}));
}

TEST(Tokenizer, DecidesWhatFollowsALessThanSign) {
    EXPECT_EQ(Pieces("a < b"), (V{"Text[a < b]"}));
    EXPECT_EQ(Pieces("a <b"), (V{"Text[a ]", "Tag(b#7)"}));
    EXPECT_EQ(Pieces("x <% y %>"), (V{"Text[x ]", "Text[<% y %>]"}));
    EXPECT_EQ(Pieces("<br/>"), (V{"Tag(/>br#15)"}));
    EXPECT_EQ(Pieces("<br />"), (V{"Tag(/>br#15)"}));
    EXPECT_EQ(Pieces("<p/x>"), (V{"Text[<p/x>]"}));
    EXPECT_EQ(Pieces("</ p>"), (V{"Text[</ p>]"}));
    EXPECT_EQ(Pieces("<!x>"), (V{"Text[<!x>]"}));
    EXPECT_EQ(Pieces("</p\tx=1>"), (V{"Tag(/p#75)"}));
    EXPECT_EQ(Pieces("<p class=a&amp;b>"), (V{"Tag(p#75 class#22=a&b)"}));
    EXPECT_EQ(Pieces("<a title=' x  '>"), (V{"Tag(a#1 title#118=x)"}));
    EXPECT_EQ(Pieces("<a title=\"x>y\" href=z>"), (V{"Tag(a#1 title#118=x>y href#52=z)"}));
    EXPECT_EQ(Pieces("<input checked disabled=1>"), (V{"Tag(input#58 checked#20= disabled#40=1)"}));
}

TEST(Tokenizer, CharacterReferences) {
    Options n{true};
    EXPECT_EQ(Pieces("&lt;&#60;&#x3C;&LT;&unknown;&#65536;", n), (V{"Text[<<<&LT;&unknown;&#65536;]"}));
    // No digits, NUL and surrogates never become characters of their own.
    EXPECT_EQ(Pieces("&#;&#x;&#0;&#55296;&#xdfff;&amp", n),
              (V{"Text[&#;&#x;\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD&amp]"}));
    EXPECT_EQ(Pieces("a &#32; &nbsp;b", n), (V{"Text[a \xC2\xA0"
                                               "b]"}));
    EXPECT_EQ(Pieces("&apos;&euro;&thetasym;&lang;"), (V{"Text['\xE2\x82\xAC\xCF\x91\xE2\x8C\xA9]"}));
    // A capital X is hexadecimal as a small one is, with digits of either case; in an attribute too.
    EXPECT_EQ(Pieces("&#X41;&#X6a;&#xFe;&#X20AC;&#65;", n), (V{"Text[Aj\xC3\xBE\xE2\x82\xAC"
                                                               "A]"}));
    EXPECT_EQ(Pieces("<a title=&#X3C;&#X3e;>"), (V{"Tag(a#1 title#118=<>)"}));
    // Decimal digits stop at a hexadecimal letter: "&#6A;" is no reference.
    EXPECT_EQ(Pieces("&#6A;", n), (V{"Text[&#6A;]"}));
}

TEST(Tokenizer, WhiteSpaceIsCollapsedOutsidePre) {
    Options n{true};
    EXPECT_EQ(Pieces("a  \n b", n), (V{"Text[a b]"}));
    EXPECT_EQ(Pieces("a  \n b"), (V{"Text[a  \n b]"}));
    EXPECT_EQ(Pieces("<pre> a  b </pre> c  d", n),
              (V{"Tag(pre#77)", "Text[ a  b ]", "Tag(/pre#77)", "Text[ c d]"}));
}

TEST(Tokenizer, CommentsCDataAndScriptsEndWhereTheyShould) {
    EXPECT_EQ(Pieces("<!---->x"), (V{"Comment[]", "Text[x]"}));
    EXPECT_EQ(Pieces("<!--->x-->"), (V{"Comment[->x]"}));
    EXPECT_EQ(Pieces("<!--a--->"), (V{"Comment[a]"}));
    EXPECT_EQ(
        Pieces("<script>document.write('</script>')</script>"),
        (V{"Tag(script#82)", "Script[document.write(']", "Tag(/script#82)", "Text[')]", "Tag(/script#82)"}));
    // A stray quote or comment opener cannot swallow the rest of the page.
    EXPECT_EQ(
        Pieces("<script>var s = \"it's /* <!--</script><a href=x>"),
        (V{"Tag(script#82)", "Script[var s = \"it's /* <!--]", "Tag(/script#82)", "Tag(a#1 href#52=x)"}));
    EXPECT_EQ(Pieces("<script>a</scripts></script>"),
              (V{"Tag(script#82)", "Script[a</scripts>]", "Tag(/script#82)"}));
    EXPECT_EQ(Pieces("<title>a</titlex></title >"),
              (V{"Tag(title#99)", "Title[a</titlex>]", "Tag(/title#99)"}));
}

TEST(Tokenizer, UnterminatedConstructsStopAtTheEnd) {
    const char* inputs[] = {"<?xml version",
                            "<?php x",
                            "<% x",
                            "<![CDATA[x",
                            "<!-- x",
                            "<!-- x --",
                            "<script>x",
                            "<style>x</style",
                            "<title>x",
                            "<a href=\"x",
                            "<a href='x&am",
                            "<!DOCTYPE x",
                            "<!--#echo var=\"x",
                            "<!--#echo var=x-",
                            "&#x",
                            "<#x a='",
                            "<a b=",
                            "<",
                            "<!",
                            "<!-",
                            "<?",
                            "</",
                            "<a/",
                            "<![CDATA",
                            "<script></script"};
    for (const char* in : inputs) {
        TDIHtmlParser parser;
        parser.SetEnableASP(true);
        parser.SetEnablePHP(true);
        parser.SetEnableSSI(true);
        parser.SetEnableCustomTags(true);
        Recorder r;
        r.SetHtmlParser(&parser);
        parser.SetSourceString(in);
        parser.Clear();
        int calls = 0;
        while (parser.ParseNextPiece() || parser.HasChar())
            ASSERT_LT(++calls, 20) << in;
        EXPECT_FALSE(parser.ParseNextPiece()) << in;
    }
    EXPECT_EQ(Pieces("<a href=\"x y"), (V{"Tag(a#1 href#52=x y)"}));
}

TEST(Tokenizer, FiltersDecideWhoReceivesAndWhatIsRead) {
    TDIHtmlParser parser;
    parser.SetFilterText(fiShow);
    EXPECT_EQ(parser.Filter(TDIPieceKind::Text), fiShow);
    parser.SetSourceString("a<b>c");
    parser.Clear();
    EXPECT_TRUE(parser.ParseNextPiece());
    EXPECT_EQ(parser.GetText(), u"a");
    EXPECT_FALSE(parser.ParseNextPiece()); // nobody receives tags
    EXPECT_EQ(parser.PieceKind(), TDIPieceKind::HtmlTag);
    EXPECT_TRUE(parser.ParseNextPiece());
    EXPECT_EQ(parser.GetText(), u"c");
    EXPECT_FALSE(parser.ParseNextPiece());

    // When nobody reads start tags, "/>" does not make them empty: the script content follows.
    Recorder scripts(fiHide);
    scripts.SetFilter(TDIPieceKind::Script, fiShowLocal);
    scripts.SetHtmlParser(&parser);
    parser.SetSourceString("<script src=a.js />x</script>");
    parser.Clear();
    parser.ParseAll();
    EXPECT_EQ(scripts.pieces, (V{"Script[x]"}));

    // fiShowHidden receives only what nobody shows, fiShowShown only what someone does.
    Recorder hidden(fiShowHidden), shown(fiShowShown);
    hidden.SetHtmlParser(&parser);
    shown.SetHtmlParser(&parser);
    parser.SetFilter(TDIPieceKind::Text, fiHide);
    parser.SetSourceString("t<!--c-->");
    parser.Clear();
    parser.ParseAll();
    EXPECT_EQ(hidden.pieces, (V{"Text[t]", "Comment[c]"}));
    EXPECT_TRUE(shown.pieces.empty());
    parser.SetFilter(TDIPieceKind::Comment, fiShow);
    hidden.pieces.clear();
    parser.SetSourceString("t<!--c-->");
    parser.Clear();
    parser.ParseAll();
    EXPECT_EQ(hidden.pieces, (V{"Text[t]"}));
    EXPECT_EQ(shown.pieces, (V{"Comment[c]"}));

    // A disabled plugin stays attached but receives nothing.
    hidden.SetEnabled(false);
    hidden.pieces.clear();
    parser.SetSourceString("t");
    parser.Clear();
    parser.ParseAll();
    EXPECT_TRUE(hidden.pieces.empty());
    EXPECT_EQ(parser.PluginCount(), 3u);

    // Per-tag-number filters override the kind filter for their numbers only.
    TDITagFilters only;
    only.SetStartTagFilter(56, fiShowLocal);
    Recorder images(fiHide);
    images.SetTagFilters(tkHtml, &only);
    images.SetHtmlParser(&parser);
    parser.SetSourceString("<a href=x><img src=y></a>");
    parser.Clear();
    parser.ParseAll();
    EXPECT_EQ(images.pieces, (V{"Tag(img#56 src#109=y)"}));
    only.SetStartTagFilter(0xFFFFFFF0u, fiShowLocal); // no tag has it; must not cost a table that large
    only.RemoveTag(56);
    only.RemoveTag(999);
    images.pieces.clear();
    parser.SetSourceString("<img src=y>");
    parser.Clear();
    parser.ParseAll();
    EXPECT_TRUE(images.pieces.empty());
}

TEST(Tokenizer, PluginsBelongToOneParser) {
    auto parser = std::make_unique<TDIHtmlParser>();
    TDIHtmlParser other;
    Recorder r;
    r.SetHtmlParser(parser.get());
    r.SetHtmlParser(&other);
    EXPECT_EQ(parser->PluginCount(), 0u);
    EXPECT_EQ(other.PluginCount(), 1u);
    r.SetHtmlParser(parser.get());
    parser.reset();
    EXPECT_EQ(r.HtmlParser(), nullptr);
}

TEST(Tokenizer, TracksPiecePositions) {
    TDIHtmlParser parser;
    parser.SetFilter(TDIPieceKind::Text, fiShow);
    parser.FilterHtmlTags().SetStartTags(fiShow);
    parser.SetSourceString("ab\r\n<p>");
    parser.Clear();
    parser.ParseNextPiece();
    EXPECT_EQ(parser.PieceStart().Line, 1u);
    EXPECT_EQ(parser.PieceStart().Column, 1u);
    parser.ParseNextPiece();
    EXPECT_EQ(parser.PieceKind(), TDIPieceKind::HtmlTag);
    EXPECT_EQ(parser.PieceStart().Line, 2u);
    EXPECT_EQ(parser.PieceStart().Column, 1u);
    EXPECT_EQ(parser.PieceStart().CharCount, 5u);
}

TEST(Tokenizer, AHandlerMayFreeAnotherPlugin) {
    struct Killer : TDIHtmlParserPlugin {
        std::unique_ptr<TDIHtmlParserPlugin> victim;
        Killer() { SetFilter(TDIPieceKind::Text, fiShowLocal); }
        void HandleText(bool&) override { victim.reset(); }
    };
    TDIHtmlParser parser;
    Killer killer;
    killer.SetHtmlParser(&parser);
    killer.victim = std::make_unique<Recorder>();
    killer.victim->SetHtmlParser(&parser);
    parser.SetSourceString("text<p>");
    parser.Clear();
    parser.ParseAll();
    EXPECT_EQ(parser.PluginCount(), 1u);
}

// A plugin that changes the filter of one plain kind (as a title plugin does twice a page) leaves every
// party receiving what it would had the filters been set before the plugins were attached.
TEST(Tokenizer, ChangingOneKindFilterDeliversAsAFreshSetUp) {
    const std::string page = "t<!--c--><title>x</title><p>u";
    const TDIFilter filters[] = {fiHide, fiShowHidden, fiShowShown, fiShowLocal, fiShow};
    auto run = [&](TDIFilter changed, TDIPieceKind kind, bool late) {
        TDIHtmlParser parser;
        Recorder a(fiShowHidden), b(fiShowShown), c(fiShowLocal), off(fiShow);
        off.SetEnabled(false);
        auto change = [&] {
            a.SetFilter(kind, changed);
            c.SetFilter(TDIPieceKind::Comment, fiShow);
        };
        if (!late) change();
        for (Recorder* r : {&a, &b, &c, &off})
            r->SetHtmlParser(&parser);
        if (late) change();
        parser.SetSourceString(page);
        parser.Clear();
        parser.ParseAll();
        return std::vector<V>{a.pieces, b.pieces, c.pieces, off.pieces};
    };
    for (TDIPieceKind kind : {TDIPieceKind::Text, TDIPieceKind::Comment, TDIPieceKind::Title})
        for (TDIFilter f : filters)
            EXPECT_EQ(run(f, kind, true), run(f, kind, false))
                << "kind " << static_cast<int>(kind) << " filter " << static_cast<int>(f);
}
