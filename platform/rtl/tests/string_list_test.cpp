#include "platform/rtl/exception.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"

#include "tests/support/temp_dir.h"
#include "tests/support/thrown_message.h"

#include <gtest/gtest.h>
#include <vector>

using testsupport::ThrownMessage;

namespace {
std::vector<std::string> items(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}
using V = std::vector<std::string>;

std::vector<std::string> splitText(std::string_view text) {
    TStringList list;
    list.SetText(text);
    return items(list);
}

std::vector<std::string> splitDelimited(std::string_view text, char delimiter = ',', bool strict = false) {
    TStringList list;
    list.SetDelimiter(delimiter);
    list.SetStrictDelimiter(strict);
    list.SetDelimitedText(text);
    return items(list);
}
} // namespace

TEST(StringList, TextJoinsWithCrLfAndSplitsOnEveryLineBreak) {
    EXPECT_EQ(splitText(""), V{});
    EXPECT_EQ(splitText("a"), V{"a"});
    EXPECT_EQ(splitText("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(splitText("a\r\n"), V{"a"}); // a final break adds no line
    EXPECT_EQ(splitText("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(splitText("\n"), V{""});
    EXPECT_EQ(splitText("a\n\rb"), (V{"a", "", "b"})); // LF CR is two breaks
    EXPECT_EQ(splitText("a\r\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(splitText(std::string_view("a\0b\nc", 5)), (V{std::string("a\0b", 3), "c"}));

    TStringList list;
    list.SetText("one\ntwo");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\n");
    list.Add("");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\n\r\n");
    TStringList back;
    back.SetText(list.Text());
    EXPECT_TRUE(back.Equals(list));
}

TEST(StringList, DelimitedTextQuotesWhatWouldNotSurviveAndSplitsAsTheClassLibraryDoes) {
    TStringList list;
    for (const char* s : {"plain", "two words", "say \"hi\"", "a,b", "", "tab\there"})
        list.Add(s);
    EXPECT_EQ(list.CommaText(), "plain,\"two words\",\"say \"\"hi\"\"\",\"a,b\",,\"tab\there\"");
    TStringList back;
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(items(back), items(list));

    // Without StrictDelimiter a blank splits too: "my page" becomes two items.
    EXPECT_EQ(splitDelimited("a/my page/b", '/'), (V{"a", "my", "page", "b"}));
    EXPECT_EQ(splitDelimited("a/my page/b", '/', true), (V{"a", "my page", "b"}));
    EXPECT_EQ(splitDelimited("/a//b/", '/'), (V{"", "a", "", "b", ""}));
    EXPECT_EQ(splitDelimited("  a ,  b  "), (V{"a", "b"}));
    EXPECT_EQ(splitDelimited("\"x, y\" , z"), (V{"x, y", "z"}));
    EXPECT_EQ(splitDelimited("\"a\"\"b\""), V{"a\"b"});
    EXPECT_EQ(splitDelimited("\"a\"b,c"), (V{"a", "b", "c"}));
    EXPECT_EQ(splitDelimited("\"unterminated"), V{"unterminated"}); // keeps its last character
    EXPECT_EQ(splitDelimited("\"\""), V{""});
    EXPECT_EQ(splitDelimited(""), V{});
    EXPECT_EQ(splitDelimited(","), (V{"", ""}));
    EXPECT_EQ(splitDelimited("\xC3\xA9t\xC3\xA9,\xE2\x82\xAC"), (V{"\xC3\xA9t\xC3\xA9", "\xE2\x82\xAC"}));
    // A NUL separates like a blank instead of stalling the parser; quoted, it is kept.
    EXPECT_EQ(splitDelimited(std::string_view("a\0b", 3)), (V{"a", "b"}));
    TStringList nul;
    nul.Add(std::string("x\0y", 3));
    EXPECT_EQ(nul.CommaText(), std::string("\"x\0y\"", 5));
    EXPECT_EQ(splitDelimited(nul.CommaText()), V{std::string("x\0y", 3)});

    TStringList one;
    one.Add("");
    EXPECT_EQ(one.CommaText(), "\"\""); // distinguishable from an empty list
    one.SetDelimiter(';');
    one.SetQuoteChar('\'');
    one.Clear();
    one.Add("it's");
    one.Add("b");
    EXPECT_EQ(one.DelimitedText(), "'it''s';b");
    EXPECT_EQ(one.CommaText(), "it's,b");
}

TEST(StringList, SortedListsSearchBinaryAndHandleDuplicatesAsConfigured) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple", "Banana"})
        list.Add(s);
    EXPECT_EQ(items(list), (V{"Apple", "Banana", "fig", "pear"})); // "apple" ignored: same without case
    EXPECT_EQ(list.Add("APPLE"), 0);                               // answers the existing index
    int index = -1;
    EXPECT_TRUE(list.Find("FIG", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("cherry", index));
    EXPECT_EQ(index, 2); // where it would go
    EXPECT_EQ(list.IndexOf("PEAR"), 3);
    EXPECT_EQ(list.IndexOf("zzz"), -1);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);

    list.SetDuplicates(dupError);
    EXPECT_EQ(ThrownMessage<EStringListError>([&] { list.Add("banana"); }),
              "String list does not allow duplicates");
    list.SetDuplicates(dupAccept);
    list.Add("banana");
    list.Add("Banana");
    EXPECT_EQ(list.Count(), 6);
    EXPECT_TRUE(list.Find("BANANA", index));
    EXPECT_EQ(index, 1); // the first of the equal entries

    // Turning case sensitivity on re-sorts, so the binary search stays right.
    TStringList cs;
    cs.SetSorted(true);
    for (const char* s : {"b", "B", "a", "A"})
        cs.Add(s);
    EXPECT_EQ(items(cs), (V{"a", "b"}));
    cs.SetDuplicates(dupAccept);
    cs.SetCaseSensitive(true);
    cs.Add("A");
    cs.Add("B");
    EXPECT_EQ(items(cs), (V{"A", "B", "a", "b"}));
    EXPECT_EQ(cs.IndexOf("a"), 2);
    EXPECT_EQ(cs.IndexOf("B"), 1);

    // Many entries: every one is found where it is.
    TStringList big;
    big.SetSorted(true);
    for (int i = 999; i >= 0; --i)
        big.Add("item" + std::to_string(i * 7919 % 1000));
    ASSERT_EQ(big.Count(), 1000);
    for (int i = 0; i < big.Count(); ++i)
        ASSERT_EQ(big.IndexOf(big[i]), i);
}

TEST(StringList, IndexOfIgnoresCaseUnlessAskedAndSortingIsStable) {
    TStringList list;
    list.SetText("http://A/\nhttp://a/\nx");
    EXPECT_EQ(list.IndexOf("HTTP://a/"), 0);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("http://a/"), 1);
    EXPECT_EQ(list.IndexOf("HTTP://A/"), -1);

    TStringList s;
    TObject first, second;
    s.AddObject("b", &first);
    s.AddObject("B", &second);
    s.Add("a");
    s.Sort();
    EXPECT_EQ(items(s), (V{"a", "b", "B"}));
    EXPECT_EQ(s.Objects(1), &first); // objects travel with their strings
    s.CustomSort([](TStringList& l, int a, int b) { return CompareStr(l[b], l[a]); });
    EXPECT_EQ(items(s), (V{"b", "a", "B"}));
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.SetText("Host=example.org\nPort=21\nnovalue\n=empty name\nPath=a=b");
    EXPECT_EQ(list.Values("host"), "example.org");
    EXPECT_EQ(list.Values("Path"), "a=b");
    EXPECT_EQ(list.Values("novalue"), "");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.ValueFromIndex(2), ""); // no separator: no value, nothing cut off
    EXPECT_EQ(list.ValueFromIndex(3), "empty name");
    EXPECT_EQ(list.IndexOfName("PORT"), 1);
    list.SetValues("Port", "2121");
    list.SetValues("User", "anon");
    list.SetValues("Host", "");
    EXPECT_EQ(items(list), (V{"Port=2121", "novalue", "=empty name", "Path=a=b", "User=anon"}));
    list.SetValueFromIndex(-1, "orphan");
    EXPECT_EQ(list[5], "=orphan");
    list.SetValueFromIndex(1, "");
    EXPECT_EQ(list.Count(), 5);
    list.SetNameValueSeparator(':');
    list.Add("k:v");
    EXPECT_EQ(list.Values("K"), "v");
}

TEST(StringList, ChangeEventsAreBatchedByUpdatesAndFiredAroundEachEdit) {
    TStringList list;
    std::string log;
    list.OnChanging = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        log += "<";
    };
    list.OnChange = [&](TObject*) { log += ">"; };
    list.Add("a");
    list.Delete(0);
    EXPECT_EQ(log, "<><>");
    log.clear();
    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("a");
    list.Add("b");
    list.EndUpdate();
    EXPECT_EQ(log, "<");
    list.EndUpdate();
    EXPECT_EQ(log, "<>");
    log.clear();
    list.SetText("x\ny\nz");
    EXPECT_EQ(log, "<>"); // one notification for the whole text
    log.clear();
    list.Clear();
    list.Clear(); // nothing to clear: no event
    EXPECT_EQ(log, "<>");
}

TEST(StringList, AssignAddStringsMoveAndFiles) {
    TStringList a;
    TObject tag;
    a.AddObject("one", &tag);
    a.Add("two");
    TStringList b;
    b.Add("old");
    b.Assign(static_cast<TPersistent*>(&a));
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(b.Objects(0), &tag);
    b.AddStrings(b); // adding a list to itself doubles it
    EXPECT_EQ(items(b), (V{"one", "two", "one", "two"}));
    b.Move(0, 3);
    EXPECT_EQ(items(b), (V{"two", "one", "two", "one"}));
    EXPECT_EQ(b.Objects(3), &tag);
    EXPECT_THROW(b.Move(0, 4), EStringListError);
    EXPECT_EQ(b.Count(), 4);
    b.Assign(b);
    EXPECT_EQ(b.Count(), 4);
    TPersistent other;
    EXPECT_THROW(b.Assign(&other), EConvertError);
    EXPECT_EQ(ThrownMessage<EStringListError>([&] { b.Delete(4); }), "List index out of bounds (4)");
    EXPECT_FALSE(a.Equals(b));

    testsupport::TempDir dir("pw-string-list");
    const std::string name = dir.File("list.txt");
    testsupport::WriteFile(name, "first\r\nsecond\nthird");
    TStringList loaded;
    loaded.LoadFromFile(name);
    EXPECT_EQ(items(loaded), (V{"first", "second", "third"}));
    loaded.Delete(1);
    loaded.SaveToFile(name);
    EXPECT_EQ(testsupport::ReadFile(name), "first\r\nthird\r\n");
    EXPECT_THROW(loaded.LoadFromFile(dir.File("missing")), EFOpenError);

    // Loading from a stream starts at its position.
    TMemoryStream m;
    m.WriteBuffer("skip\nkeep", 9);
    m.SetPosition(5);
    loaded.LoadFromStream(m);
    EXPECT_EQ(items(loaded), V{"keep"});
}
