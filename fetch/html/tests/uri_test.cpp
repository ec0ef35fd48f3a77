#include "fetch/html/uri.h"

#include <gtest/gtest.h>

#include "platform/rtl/unicode.h"

namespace {

std::string Composed(const TDIUri& u) {
    std::u16string s;
    u.Compose(s);
    return Utf16ToUtf8(s);
}

std::string Resolved(const char* base, const char* rel, bool expectOk = true) {
    std::u16string out;
    bool ok = Resolve(Utf8ToUtf16(base), Utf8ToUtf16(rel), out);
    EXPECT_EQ(ok, expectOk) << base << " + " << rel;
    return Utf16ToUtf8(out);
}

} // namespace

TEST(Uri, ParseSplitsAndComposesBack) {
    TDIUri u;
    ASSERT_TRUE(u.Parse(u"s://u:p%20w@h:80/a/b?q=1#f"));
    EXPECT_EQ(u.Scheme(), u"s");
    EXPECT_EQ(u.Username(), u"u");
    EXPECT_EQ(u.Password(), u"p%20w");
    EXPECT_EQ(u.Host(), u"h");
    EXPECT_EQ(u.Port(), u"80");
    EXPECT_EQ(u.Path(), u"/a/b");
    EXPECT_EQ(u.Query(), u"q=1");
    EXPECT_EQ(u.Fragment(), u"f");
    EXPECT_EQ(Composed(u), "s://u:p%20w@h:80/a/b?q=1#f");

    ASSERT_TRUE(u.Parse(u"http://h/p?"));
    EXPECT_TRUE(u.HasQuery());
    EXPECT_TRUE(u.Query().empty());
    EXPECT_FALSE(u.HasFragment());
    EXPECT_EQ(Composed(u), "http://h/p?");

    ASSERT_TRUE(u.Parse(u"mailto:someone"));
    EXPECT_EQ(u.Scheme(), u"mailto");
    EXPECT_EQ(u.Path(), u"someone");
    EXPECT_FALSE(u.HasHost());

    ASSERT_TRUE(u.Parse(u"//"));
    EXPECT_EQ(u.Path(), u"//");
    EXPECT_FALSE(u.HasHost());

    ASSERT_TRUE(u.Parse(u"1a:b"));
    EXPECT_FALSE(u.HasScheme());
    EXPECT_EQ(u.Path(), u"1a:b");
}

TEST(Uri, InvalidComponentClearsEverything) {
    TDIUri u;
    ASSERT_TRUE(u.Parse(u"http://h/p?q#f"));
    EXPECT_FALSE(u.Parse(u"http://host:8a/p?q#f"));
    EXPECT_FALSE(u.HasScheme() || u.HasHost() || u.HasPort() || u.HasQuery() || u.HasFragment());
    EXPECT_TRUE(u.Path().empty());
    EXPECT_FALSE(u.Parse(u"http://h^st/"));
    EXPECT_FALSE(u.Parse(u"http://u%2@h/"));
    EXPECT_FALSE(u.Parse(u"http://[::1/"));
}

TEST(Uri, RegisteredNamesAndIpLiteralsAreHosts) {
    TDIUri u;
    ASSERT_TRUE(u.Parse(u"http://my_host.localhost:8080/x"));
    EXPECT_EQ(u.Host(), u"my_host.localhost");
    EXPECT_EQ(u.Port(), u"8080");
    ASSERT_TRUE(u.Parse(u"http://[::1]:8080/x"));
    EXPECT_EQ(u.Host(), u"[::1]");
    EXPECT_EQ(u.Port(), u"8080");
    EXPECT_EQ(Composed(u), "http://[::1]:8080/x");
    ASSERT_TRUE(u.Parse(u"http://[fe80::1%25eth0]/"));
    ASSERT_TRUE(u.Parse(u"http://ex%41mple.com/"));
    EXPECT_EQ(u.Host(), u"ex%41mple.com");
}

TEST(Uri, SettersValidateAndSplit) {
    TDIUri u;
    EXPECT_TRUE(u.SetAuthority(u"user:pw@host:21"));
    EXPECT_EQ(u.Username(), u"user");
    EXPECT_EQ(u.Password(), u"pw");
    EXPECT_EQ(u.Host(), u"host");
    EXPECT_EQ(u.Port(), u"21");
    EXPECT_TRUE(u.SetAuthority(u"other"));
    EXPECT_FALSE(u.HasUsername() || u.HasPassword() || u.HasPort());
    EXPECT_FALSE(u.SetPort(u"x1"));
    EXPECT_FALSE(u.HasPort());
    EXPECT_TRUE(u.SetPort(u""));
    EXPECT_TRUE(u.HasPort());
    EXPECT_FALSE(u.SetPath(u"/a?b"));
    EXPECT_TRUE(u.Path().empty());
    EXPECT_FALSE(u.SetUserInfo(u"a b:c"));
    EXPECT_FALSE(u.HasUsername());
    EXPECT_TRUE(u.HasPassword());
    std::u16string a;
    u.SetAuthority(u"x@h:1");
    u.ComposeAuthority(a);
    EXPECT_EQ(a, u"x@h:1");
    TDIUri v;
    v.CopyAuthority(u);
    v.ComposeAuthority(a);
    EXPECT_EQ(a, u"x@h:1");
    ASSERT_TRUE(u.Parse(u"ftp://a:secret@h1/"));
    ASSERT_TRUE(u.Parse(u"ftp://a@h2/"));
    EXPECT_FALSE(u.HasPassword());
}

TEST(Uri, ResolvesTheRfc3986Examples) {
    const char* base = "http://a/b/c/d;p?q";
    const struct {
        const char* ref;
        const char* expected;
    } cases[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"g;x", "http://a/b/c/g;x"},
        {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        // Abnormal examples.
        {"../../../g", "http://a/g"},
        {"../../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {".g", "http://a/b/c/.g"},
        {"g..", "http://a/b/c/g.."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"./g/.", "http://a/b/c/g/"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/./x", "http://a/b/c/g?y/./x"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"g#s/./x", "http://a/b/c/g#s/./x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"},
        {"http:g", "http:g"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Resolved(base, c.ref), c.expected) << c.ref;
    // One parsed base serves a whole page of references, one after the other.
    TDIUri parsed;
    ASSERT_TRUE(parsed.Parse(Utf8ToUtf16(base)));
    for (const auto& c : cases) {
        std::u16string out;
        EXPECT_TRUE(Resolve(parsed, Utf8ToUtf16(c.ref), out));
        EXPECT_EQ(Utf16ToUtf8(out), c.expected) << c.ref;
    }
}

TEST(Uri, ResolvesPageLinks) {
    EXPECT_EQ(Resolved("s://h/a/x", "b/../c"), "s://h/a/c");
    EXPECT_EQ(Resolved("s://h/a/b", "../x"), "s://h/x");
    EXPECT_EQ(Resolved("s://h/a/b", "./"), "s://h/a/");
    EXPECT_EQ(Resolved("s://h/p?q", "#f"), "s://h/p?q#f");
    EXPECT_EQ(Resolved("s://h/a", "//other/p"), "s://other/p");
    EXPECT_EQ(Resolved("s://h/a", "//other/x/../p"), "s://other/p");
    EXPECT_EQ(Resolved("s://h/a", "t:x"), "t:x");
    EXPECT_EQ(Resolved("s://h/a", "/../b"), "s://h/b");
    EXPECT_EQ(Resolved("http://h/a/list.php", "?page=2"), "http://h/a/list.php?page=2");
    EXPECT_EQ(Resolved("http://h", "x"), "http://h/x");
    EXPECT_EQ(Resolved("http://h:8a/", "x", false), "");
    EXPECT_EQ(Resolved("http://h/", "http://h^/", false), "");
}

namespace {

// Every part of an address with its presence, as one text.
std::string Parts(const TDIUri& u) {
    const auto part = [](bool present, const std::u16string& text) {
        return (present ? "+" : "-") + Utf16ToUtf8(text) + "|";
    };
    return part(u.HasScheme(), u.Scheme()) + part(u.HasUsername(), u.Username()) +
           part(u.HasPassword(), u.Password()) + part(u.HasHost(), u.Host()) + part(u.HasPort(), u.Port()) +
           part(true, u.Path()) + part(u.HasQuery(), u.Query()) + part(u.HasFragment(), u.Fragment());
}

} // namespace

// A page's links are resolved and then looked at part by part: the parts resolving leaves are those that
// parsing the resolved address gives, for odd bases and references too (no host, an empty one, "//"
// alone, a first segment with a colon), and one set of parts serves reference after reference.
TEST(Uri, ResolvingLeavesTheResultsOwnParts) {
    const char* bases[] = {"http://a/b/c/d;p?q",
                           "s://h",
                           "s://",
                           "file:///x/y",
                           "file://",
                           "mailto:x@y",
                           "dir/",
                           "",
                           "//h",
                           "//",
                           "s://u:@h:/p",
                           "s://@h",
                           "s://[::1]:8/x",
                           "?q",
                           "#f",
                           "s:",
                           "s://u:p@h:80",
                           "x"};
    const char* refs[] = {
        "g:h",    "g",         "./g",          "/g",    "//g",        "?y",      "#s", "",    ".",
        "..",     "../..",     "/./g",         "/../g", "g?y#s",      "g;x?y#s", "//", "//@", "//:8",
        "//h/..", "./c:d",     "c:d",          ".//x",  "/.//x",      "?",       "#",  "s:",  "http:g",
        "//u:@h", "a?b?c#d#e", "http://[bad/", "%zz",   "HTTP://H/P", "//[::1]"};
    TDIUri parts;
    for (const char* base : bases) {
        TDIUri b;
        ASSERT_TRUE(b.Parse(Utf8ToUtf16(base))) << base;
        for (const char* ref : refs) {
            SCOPED_TRACE(std::string(base) + " + " + ref);
            std::u16string expected, result;
            const bool resolves = Resolve(b, Utf8ToUtf16(ref), expected);
            EXPECT_EQ(Resolve(b, Utf8ToUtf16(ref), result, parts), resolves);
            EXPECT_EQ(Utf16ToUtf8(result), Utf16ToUtf8(expected));
            if (!resolves) continue;
            // A result that does not parse back ("s://c:d") leaves no parts, as its parse does.
            TDIUri reparsed;
            reparsed.Parse(result);
            EXPECT_EQ(Parts(parts), Parts(reparsed));
        }
        TDIUri fresh;
        fresh.Parse(Utf8ToUtf16(base));
        EXPECT_EQ(Parts(b), Parts(fresh)) << "the base is left as it was";
    }
}

namespace {

// The removal as the standard writes it, one step at a time on a string buffer.
std::u16string referenceDotRemoval(std::u16string in) {
    std::u16string out;
    const auto starts = [&in](const std::u16string& p) { return in.compare(0, p.size(), p) == 0; };
    const auto dropLastSegment = [&out] {
        const size_t slash = out.rfind(u'/');
        out.resize(slash == std::u16string::npos ? 0 : slash);
    };
    while (!in.empty()) {
        if (starts(u"../")) {
            in.erase(0, 3);
        } else if (starts(u"./")) {
            in.erase(0, 2);
        } else if (starts(u"/./")) {
            in.erase(0, 2);
        } else if (in == u"/.") {
            in = u"/";
        } else if (starts(u"/../")) {
            in.erase(0, 3);
            dropLastSegment();
        } else if (in == u"/..") {
            in = u"/";
            dropLastSegment();
        } else if (in == u"." || in == u"..") {
            in.clear();
        } else {
            size_t next = in.find(u'/', in[0] == u'/' ? 1 : 0);
            if (next == std::u16string::npos) next = in.size();
            out += in.substr(0, next);
            in.erase(0, next);
        }
    }
    return out;
}

} // namespace

TEST(Uri, DotRemovalMatchesTheStepByStepFormOnEveryShortPath) {
    // Every path of up to four segments made of these, with and without a leading slash: paths without
    // a dot segment come back as they are, the others as the standard's steps leave them.
    const std::u16string segments[] = {u"a", u".", u"..", u"", u"b.c", u".d", u"e.."};
    constexpr int kKinds = 7;
    int withDots = 0;
    for (int count = 1; count <= 4; ++count) {
        int combinations = 1;
        for (int i = 0; i < count; ++i)
            combinations *= kKinds;
        for (int n = 0; n < combinations; ++n)
            for (const char16_t* lead : {u"", u"/"}) {
                std::u16string path = lead;
                bool dot = false;
                for (int i = 0, rest = n; i < count; ++i, rest /= kKinds) {
                    if (i > 0) path += u'/';
                    path += segments[rest % kKinds];
                    dot = dot || rest % kKinds == 1 || rest % kKinds == 2;
                }
                withDots += dot;
                const std::u16string removed = RemoveDotSegments(path);
                ASSERT_EQ(removed, referenceDotRemoval(path)) << Utf16ToUtf8(path);
                if (!dot) {
                    ASSERT_EQ(removed, path) << Utf16ToUtf8(path);
                }
            }
    }
    EXPECT_GT(withDots, 1000);
}

TEST(Uri, DotRemovalIsLinear) {
    EXPECT_EQ(RemoveDotSegments(u"a/.."), u"/");
    EXPECT_EQ(RemoveDotSegments(u"/a/b/../../.."), u"/");
    EXPECT_EQ(RemoveDotSegments(u"mid/content=5/../6"), u"mid/6");
    std::u16string path = u"/";
    for (int i = 0; i < 200000; ++i)
        path += u"./";
    path += u"x";
    EXPECT_EQ(RemoveDotSegments(path), u"/x");
    std::u16string deep = u"";
    for (int i = 0; i < 50000; ++i)
        deep += u"/a";
    for (int i = 0; i < 50000; ++i)
        deep += u"/..";
    EXPECT_EQ(RemoveDotSegments(deep), u"/");
}
