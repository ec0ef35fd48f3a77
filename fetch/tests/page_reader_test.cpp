// A reader that has read other pages files each link as a fresh reader does: the forms it keeps of the
// links it met never stand in for a link of another folder, another base or other settings.
#include "fetch/page_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fetcher::PageReader;
using fetcher::ReadPage;
using fetcher::ReadSettings;

struct Filed {
    std::string title;
    std::vector<std::string> resolved, follow, nonFollow;
    bool operator==(const Filed&) const = default;
};

// Into a fresh page, or into one that holds what was read before.
Filed Read(PageReader& reader, const std::string& address, const std::string& body,
           const ReadSettings& settings, ReadPage* into = nullptr) {
    ReadPage fresh;
    ReadPage& page = into ? *into : fresh;
    reader.Read(body, "text/html", address, false, fetcher::DefaultReadMethod(), settings, page);
    return {page.title, page.resolved, page.follow, page.nonFollow};
}

// Links whose forms depend on the whole base address, its folder only, its site only, or nothing of it.
const std::string kLinks = R"(<title>t</title>
<a href="b.html">1</a> <a href="../up.html">2</a> <a href="?q=1">3</a> <a href="">4</a>
<a href="/root.html">5</a> <a href="HTTPS://Example.org/x">6</a> <a href="b.html#frag">7</a>
<a href="list.php?sort=asc">8</a> <a href="doc.pdf">9</a> <a href="b.html">again</a>
<a href="//other.example/p.html">10</a> <a href="http://[bad/">11</a> <a href="n.html" rel="nofollow">12</a>
<a href="/a/../r.html?q=1">13</a> <a href="/">14</a> <a href="//">15</a> <a href="http:rel.html">16</a>
<a href="mailto:x@h.example">17</a> <a href="/b.html">18</a>)";

ReadSettings Crawl() {
    ReadSettings s;
    s.wantedFileTypes = "*.pdf;";
    return s;
}

TEST(PageReaderKnownLinks, FilesLinksAsAFreshReaderWhateverItReadBefore) {
    const ReadSettings settings = Crawl();
    ReadSettings sorted = settings;
    sorted.nonFollowQueryParts = {"sort="};
    ReadSettings unresolved = settings;
    unresolved.resolveUris = false;
    struct Page {
        std::string address, body;
        const ReadSettings* settings;
    };
    const std::vector<Page> pages = {
        {"http://h.example/dir/a.html", kLinks, &settings},
        // The same folder, another file: only an empty link or a query alone resolves otherwise.
        {"http://h.example/dir/c.html?x=2", kLinks, &settings},
        {"http://h.example/other/a.html", kLinks, &settings},
        {"http://h.example/dir", kLinks, &settings},
        // No path at all: the host alone tells them apart.
        {"http://h.example", kLinks, &settings},
        {"http://g.example", kLinks, &settings},
        {"http://g.example:8080", kLinks, &settings},
        {"http://user@g.example:8080", kLinks, &settings},
        {"http://user:pw@g.example:8080/x/", kLinks, &settings},
        // A base without a host, and one that does not parse.
        {"mailto:nobody@h.example", kLinks, &settings},
        {"http://[bad/dir/a.html", kLinks, &settings},
        {"https://h.example/dir/a.html", kLinks, &settings},
        {"http://h.example/dir/a.html", kLinks, &sorted},
        {"http://h.example/dir/a.html", kLinks, &unresolved},
        // A base element moves the links after it to another folder mid-page.
        {"http://h.example/dir/a.html", kLinks + "<base href=\"/sub/deeper/\">" + kLinks, &settings},
        {"http://h.example/dir/a.html", kLinks + "<base href=\"https://g.example/x/\">" + kLinks, &settings},
        {"http://h.example/dir/a.html", kLinks, &settings},
    };
    PageReader warm;
    // The warm reader also fills the same page each time, over the links of the page before, more or fewer.
    ReadPage kept;
    for (const Page& p : pages) {
        SCOPED_TRACE(p.address);
        PageReader fresh;
        const Filed expected = Read(fresh, p.address, p.body, *p.settings);
        EXPECT_EQ(Read(warm, p.address, p.body, *p.settings, &kept), expected);
        // Read twice, the second time from the forms kept.
        EXPECT_EQ(Read(warm, p.address, p.body, *p.settings, &kept), expected);
    }
}

TEST(PageReaderKnownLinks, ABaseElementMovesTheLinksAfterItEvenToOneMetBefore) {
    const std::string body = R"(<a href="/r.html">1</a> <a href="http:s.html">2</a> <a href="f.html">3</a>
<base href="https://g.example/x/"><a href="/r.html">1</a> <a href="http:s.html">2</a> <a href="f.html">3</a>)";
    const std::vector<std::string> expected = {
        "http://h.example/r.html",  "http:s.html", "http://h.example/dir/f.html",
        "https://g.example/r.html", "http:s.html", "https://g.example/x/f.html"};
    PageReader reader;
    EXPECT_EQ(Read(reader, "http://h.example/dir/a.html", body, Crawl()).resolved, expected);
    EXPECT_EQ(Read(reader, "http://h.example/dir/a.html", body, Crawl()).resolved, expected);
}

TEST(PageReaderKnownLinks, KeepsFilingRightPastTheLimitOfFormsKept) {
    const ReadSettings settings = Crawl();
    std::string body;
    for (int i = 0; i < 9000; ++i)
        body += "<a href=\"p" + std::to_string(i) + ".html\">x</a>";
    PageReader warm;
    PageReader fresh;
    const Filed expected = Read(fresh, "http://h.example/a/index.html", body, settings);
    ASSERT_EQ(expected.follow.size(), 9000u);
    EXPECT_EQ(Read(warm, "http://h.example/a/index.html", body, settings), expected);
    EXPECT_EQ(Read(warm, "http://h.example/a/index.html", body, settings), expected);
    PageReader other;
    EXPECT_EQ(Read(warm, "http://h.example/b/index.html", body, settings),
              Read(other, "http://h.example/b/index.html", body, settings));
}

} // namespace
