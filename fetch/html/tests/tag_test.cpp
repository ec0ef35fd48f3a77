#include "fetch/html/tag.h"

#include <gtest/gtest.h>

#include "fetch/html/binary_filer.h"
#include "fetch/html/entity_table.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/tag_filters.h"
#include "fetch/html/typed_containers.h"
#include "platform/rtl/stream.h"

TEST(Tags, NameTablesAndEntities) {
    EXPECT_EQ(HtmlTagId(u"a", 1), 1u);
    EXPECT_EQ(HtmlTagId(u"Title", 5), 99u);
    EXPECT_EQ(HtmlTagId(u"VAR", 3), 104u);
    EXPECT_EQ(HtmlTagId(u"section", 7), 0u);
    EXPECT_EQ(HtmlAttributeId(u"HTTP-EQUIV", 10), 55u);
    EXPECT_EQ(HtmlAttributeId(u"width", 5), 129u);
    EXPECT_EQ(HtmlTagNameTable().Count(), 92);
    EXPECT_EQ(HtmlAttributeNameTable().Count(), 119);
    EXPECT_EQ(HtmlEntityNameTable().Count(), 253);
    EXPECT_EQ(HtmlEntityChar(u"amp", 3), u'&');
    EXPECT_EQ(HtmlEntityChar(u"AMP", 3), 0);
    EXPECT_EQ(HtmlEntityChar(u"euro", 4), 8364);
    EXPECT_EQ(HtmlEntityChar(u"thetasym", 8), 977);
    EXPECT_EQ(HtmlEntityChar(u"lang", 4), 0x2329); // HTML 4.01, not HTML5's U+27E8
    EXPECT_EQ(HtmlEntityChar(u"Aacute", 6), 193);
    EXPECT_EQ(HtmlEntityChar(u"aacute", 6), 225);
    char16_t amp = u'&';
    EXPECT_EQ(TDIWideStringHash::Value(HtmlCharEntityTable().Find(&amp)), u"amp");
    EXPECT_EQ(std::u16string(HtmlLat1Entities[0].Name), u"AElig");
    EXPECT_EQ(std::u16string(HtmlSymbolEntities[123].Name), u"zeta");
    for (const auto* group : {+HtmlLat1Entities, +HtmlSpecialEntities, +HtmlSymbolEntities}) {
        size_t n = group == HtmlLat1Entities ? 96 : group == HtmlSpecialEntities ? 33 : 124;
        for (size_t i = 1; i < n; ++i)
            EXPECT_LT(std::u16string(group[i - 1].Name), std::u16string(group[i].Name));
    }
    EXPECT_FALSE(IsNameChar(u'/'));
    EXPECT_FALSE(IsNameChar(0xE9));
    EXPECT_TRUE(IsNameChar(u':') && IsNameChar(u'_') && IsNameChar(u'-') && IsNameChar(u'.'));
    for (char16_t c : {u'@', u'[', u'`', u'{'})
        EXPECT_FALSE(IsAsciiLetter(c));
}

TEST(Tags, AttributeQuotingAndTagText) {
    TDIHtmlTag tag;
    tag.SetTagName(u"img");
    tag.AddStr2Number(u"alt", u"say \"hi\"", 8);
    EXPECT_EQ(tag.TagText(), u"<img alt='say \"hi\"'>");
    tag.Clear();
    tag.SetTagName(u"img");
    tag.AddStr2Number(u"alt", u"it's \"x\"", 8);
    EXPECT_EQ(tag.TagText(), u"<img alt='it&apos;s \"x\"'>");
    tag.Clear();
    tag.SetTagName(u"p");
    tag.AddStr2Number(u"a", u"x&{y} & 'q' \"", 0);
    EXPECT_EQ(tag.TagText(), u"<p a=\"x&{y} &amp; 'q' &quot;\">");
    // As many of each quote: double quotes around, the inner one escaped.
    tag.Clear();
    tag.SetTagName(u"p");
    tag.AddStr2Number(u"a", u"it's \"x", 0);
    EXPECT_EQ(tag.TagText(), u"<p a=\"it's &quot;x\">");
    TDICustomTag custom;
    std::u16string out;
    custom.WriteAttributeValue(u"x&{y} 'q' \"", out, 1);
    EXPECT_EQ(out, u"=\"x&amp;{y} 'q' &quot;\"");
    out.clear();
    EXPECT_TRUE(custom.WriteAttributeValue(u"a/b", out, 2));
    EXPECT_FALSE(custom.WriteAttributeValue(u"'a", out, 2));
    EXPECT_FALSE(custom.WriteAttributeValue(u"", out, 1));
    tag.Clear();
    tag.SetTagName(u"br");
    tag.SetTagType(ttEmpty);
    tag.AddStr2Number(u"class", u"x", 22);
    EXPECT_EQ(tag.TagText(), u"<br class=x />");
    tag.AddStr2Number(u"alt", u"a b", 8);
    EXPECT_EQ(tag.TagText(), u"<br class=x alt=\"a b\"/>");
    tag.SetTagType(ttEnd);
    EXPECT_EQ(tag.TagText(), u"</br>");
}

TEST(Tags, CopyAndPersist) {
    TDIHtmlTag tag;
    tag.SetTagName(u"A");
    tag.SetTagID(1);
    tag.SetTagType(ttEmpty);
    tag.AddStr2Number(u"HREF", u"x", 52);
    TDIHtmlTag copy;
    copy.Assign(&tag);
    EXPECT_EQ(copy.TagText(), u"<A HREF=x />");
    EXPECT_EQ(copy.AttributeValue(52), u"x");
    TMemoryStream m;
    {
        TDIBinaryWriter w(m, 4096);
        tag.WriteData(w, 7, nullptr);
    }
    m.SetPosition(0);
    TDIHtmlTag back;
    TDIBinaryReader r(m, 4096);
    back.ReadData(r, 7, nullptr);
    EXPECT_EQ(back.TagID(), 1u);
    EXPECT_EQ(back.TagType(), ttEmpty);
    EXPECT_EQ(back.TagText(), u"<A HREF=x />");
}

// A parser clears one tag for every tag it reads and keeps the cleared strings for the next one: what a
// tag holds must never show through in the next.
TEST(Tags, AttributesAddedAfterAClearHoldOnlyTheirOwnText) {
    TDIHtmlTag tag;
    const std::u16string longValue(300, u'x');
    tag.AddAttribute(u"HREF", 4, u"http://example.org/a/long/path", 30, 52);
    tag.AddAttribute(u"name", 4, longValue.data(), longValue.size(), 0);
    tag.AddAttribute(u"alt", 3, u"", 0, 3);
    for (int round = 0; round < 3; ++round) {
        tag.Clear();
        EXPECT_EQ(tag.Count(), 0);
        tag.AddAttribute(u"src", 3, u"b", 1, 109);
        tag.AddAttribute(u"id", 2, nullptr, 0, 7);
        tag.AddAttribute(u"title", 5, u"two words", 9, 9);
        ASSERT_EQ(tag.Count(), 3);
        EXPECT_EQ(tag.Str(0), u"src");
        EXPECT_EQ(tag.Str2(0), u"b");
        EXPECT_EQ(tag.Number(0), 109u);
        EXPECT_EQ(tag.Str(1), u"id");
        EXPECT_EQ(tag.Str2(1), u"");
        EXPECT_EQ(tag.Str2(2), u"two words");
        EXPECT_EQ(tag.AttributeValue(9), u"two words");
        EXPECT_EQ(tag.AttributeValue(52), u"");
    }
    // A copy and a stored and read tag see the same attributes.
    TDIHtmlTag copy;
    copy.Assign(&tag);
    EXPECT_EQ(copy.Str2(2), u"two words");
    EXPECT_EQ(copy.Number(2), 9u);
}

namespace {

struct CountingListener : TDITagFiltersListener {
    int changes = 0, destroyed = 0;
    void TagFiltersDestroying(TDITagFilters* list) override {
        ++destroyed;
        list->RemoveListener(this);
    }
    void TagFilterChanged(TDITagFilters*, uint32_t) override { ++changes; }
};

} // namespace

TEST(Tags, FilterListsNotifyCountedListeners) {
    CountingListener l;
    {
        TDITagFilters list;
        list.AddListener(&l);
        list.AddListener(&l);
        list.SetStartTagFilter(5, fiShow);
        list.SetStartTagFilter(5, fiShow);
        list.RemoveTag(7); // absent, still notified
        list.SetStartTagFilter(0, fiShow);
        list.RemoveTag(0);
        EXPECT_EQ(l.changes, 3);
        EXPECT_TRUE(list.HasStartTagFilter(5));
        EXPECT_FALSE(list.HasStartTagFilter(0));
        list.RemoveListener(&l);
        list.SetStartTagFilter(6, fiShow);
        EXPECT_EQ(l.changes, 4);
    }
    EXPECT_EQ(l.destroyed, 1);

    TDITagFilter a, b;
    int notified = 0;
    a.OnChange = [&] { ++notified; };
    b.SetStartTags(fiShowLocal);
    b.SetEndTags(fiShow);
    a.Assign(&b);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(a.EndTags(), fiShow);
    a.SetStartTags(fiShowLocal);
    EXPECT_EQ(notified, 1);
}
