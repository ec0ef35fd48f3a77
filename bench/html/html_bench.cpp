// Reads a corpus of HTML pages and finds every a/area/frame/iframe link and the title with each
// parser in turn; prints MB per second of processor time on one core (the median of several passes, with
// their range) and our speed relative to the fastest peer.
#include <gumbo.h>
#include <libxml/HTMLparser.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <strings.h>
#include <time.h>
#include <vector>

#include "bench/support/usage.h"
#include "fetch/html/plugins.h"

namespace {

struct Result {
    size_t links = 0;
    size_t titleChars = 0;
};

std::vector<std::string> LoadCorpus(const std::vector<std::string>& roots) {
    std::vector<std::string> pages;
    for (const auto& root : roots) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(root)) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(root))
                if (e.is_regular_file() &&
                    (e.path().extension() == ".html" || e.path().extension() == ".htm"))
                    files.push_back(e.path());
        } else {
            files.push_back(root);
        }
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            pages.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return pages;
}

// Pages in other encodings: the corpus made ASCII, labelled with the charset (its own label
// replaced), and with characters of that encoding sprinkled into the text.
std::vector<std::string> Relabelled(const std::vector<std::string>& pages, const char* charset,
                                    bool twoByte) {
    std::vector<std::string> out;
    uint32_t seed = 12345;
    for (const auto& page : pages) {
        std::string ascii;
        for (char c : page)
            ascii.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
        for (size_t at; (at = ascii.find("charset=UTF-8")) != std::string::npos;)
            ascii.replace(at, 13, std::string("charset=") + charset);
        std::string p = std::string("<meta charset=") + charset + ">";
        p.reserve(ascii.size() + ascii.size() / 16);
        bool inTag = false;
        for (char c : ascii) {
            p.push_back(c);
            inTag = c == '<' ? true : c == '>' ? false : inTag;
            seed = seed * 1103515245 + 12345;
            if (c == ' ' && !inTag && (seed >> 24) < 40) {
                p.push_back(static_cast<char>(0xC1 + (seed >> 16) % 30));
                if (twoByte) p.push_back(static_cast<char>(0xA1 + (seed >> 8) % 60));
            }
        }
        out.push_back(std::move(p));
    }
    return out;
}

void Quiet(void*, const char*, ...) {}

Result Ours(const std::vector<std::string>& pages) {
    Result r;
    TDIHtmlParser parser;
    TDIHtmlCharSetPlugin charset;
    TDIHtmlLinksPlugin links;
    TDIHtmlTitlePlugin title;
    charset.SetHtmlParser(&parser);
    links.SetHtmlParser(&parser);
    title.SetHtmlParser(&parser);
    links.SetLink_A_href(true);
    links.SetLink_AREA_href(true);
    links.SetLink_FRAME_src(true);
    links.SetLink_IFRAME_src(true);
    links.SetOnLink([&](TDIHtmlLinksPlugin*, std::u16string&, bool&, bool&) { ++r.links; });
    for (const auto& page : pages) {
        parser.SetSourceString(page);
        parser.Clear();
        parser.ParseAll();
        r.titleChars += title.Title().size();
    }
    return r;
}

struct SaxState {
    Result* result;
    bool inTitle = false;
    bool haveTitle = false;
};

void SaxStart(void* ctx, const xmlChar* name, const xmlChar** atts) {
    auto* s = static_cast<SaxState*>(ctx);
    const char* n = reinterpret_cast<const char*>(name);
    if (std::strcmp(n, "title") == 0 && !s->haveTitle) {
        s->inTitle = true;
        return;
    }
    const char* want = (!std::strcmp(n, "a") || !std::strcmp(n, "area"))         ? "href"
                       : (!std::strcmp(n, "frame") || !std::strcmp(n, "iframe")) ? "src"
                                                                                 : nullptr;
    if (want && atts)
        for (int i = 0; atts[i]; i += 2)
            if (std::strcmp(reinterpret_cast<const char*>(atts[i]), want) == 0 && atts[i + 1]) {
                ++s->result->links;
                break;
            }
}

void SaxEnd(void* ctx, const xmlChar* name) {
    auto* s = static_cast<SaxState*>(ctx);
    if (s->inTitle && std::strcmp(reinterpret_cast<const char*>(name), "title") == 0) {
        s->inTitle = false;
        s->haveTitle = true;
    }
}

void SaxChars(void* ctx, const xmlChar*, int len) {
    auto* s = static_cast<SaxState*>(ctx);
    if (s->inTitle) s->result->titleChars += static_cast<size_t>(len);
}

Result LibXml2(const std::vector<std::string>& pages) {
    Result r;
    htmlSAXHandler sax{};
    sax.startElement = SaxStart;
    sax.endElement = SaxEnd;
    sax.characters = SaxChars;
    for (const auto& page : pages) {
        SaxState state{&r};
        htmlParserCtxtPtr ctxt =
            htmlCreatePushParserCtxt(&sax, &state, nullptr, 0, nullptr, XML_CHAR_ENCODING_NONE);
        htmlCtxtUseOptions(ctxt,
                           HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
        htmlParseChunk(ctxt, page.data(), static_cast<int>(page.size()), 0);
        htmlParseChunk(ctxt, nullptr, 0, 1);
        htmlFreeParserCtxt(ctxt);
    }
    return r;
}

void Walk(const GumboNode* node, Result& r, bool& haveTitle) {
    if (node->type != GUMBO_NODE_ELEMENT) return;
    const GumboElement& e = node->v.element;
    const char* want = (e.tag == GUMBO_TAG_A || e.tag == GUMBO_TAG_AREA)         ? "href"
                       : (e.tag == GUMBO_TAG_FRAME || e.tag == GUMBO_TAG_IFRAME) ? "src"
                                                                                 : nullptr;
    if (want && gumbo_get_attribute(&e.attributes, want)) ++r.links;
    if (e.tag == GUMBO_TAG_TITLE && !haveTitle) {
        haveTitle = true;
        for (unsigned i = 0; i < e.children.length; ++i) {
            auto* child = static_cast<const GumboNode*>(e.children.data[i]);
            if (child->type == GUMBO_NODE_TEXT) r.titleChars += std::strlen(child->v.text.text);
        }
    }
    for (unsigned i = 0; i < e.children.length; ++i)
        Walk(static_cast<const GumboNode*>(e.children.data[i]), r, haveTitle);
}

Result Gumbo(const std::vector<std::string>& pages) {
    Result r;
    for (const auto& page : pages) {
        GumboOutput* out = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
        bool haveTitle = false;
        Walk(out->root, r, haveTitle);
        gumbo_destroy_output(&kGumboDefaultOptions, out);
    }
    return r;
}

struct Speed {
    double median = 0;
    double low = 0;
    double high = 0;
};

// The processor time of this thread: on a shared machine a pass does not count the time others' work
// takes the core away.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// One pass of a parser over the pages at a time, each timed on its own: on a shared machine a single
// pass may lose a tenth to a neighbour, the median of several does not.
template <typename F>
Speed MegabytesPerSecond(F run, const std::vector<std::string>& pages, int passes, Result& result) {
    size_t bytes = 0;
    for (const auto& p : pages)
        bytes += p.size();
    result = run(pages); // warms the caches and the allocator
    std::vector<double> speeds;
    for (int pass = 0; pass < passes; ++pass) {
        const double t0 = ThreadSeconds();
        result = run(pages);
        const double seconds = ThreadSeconds() - t0;
        speeds.push_back(bytes / 1e6 / seconds);
    }
    std::sort(speeds.begin(), speeds.end());
    const size_t n = speeds.size();
    const double median = n % 2 ? speeds[n / 2] : (speeds[n / 2 - 1] + speeds[n / 2]) / 2;
    return {median, speeds.front(), speeds.back()};
}

std::string Figure(const Speed& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%6.1f (%.0f-%.0f)", s.median, s.low, s.high);
    return text;
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: html_bench [--passes N] [--code-page NAME] [--ours-only] [folders of HTML pages...]\n"
    "  Finds every link and the title of each page with each parser in turn, in each code page; prints\n"
    "  the median MB per second of processor time on one core of N passes (default 5) with the slowest\n"
    "  and fastest, and our speed relative to the fastest peer's median.\n"
    "  --code-page: only the pages in that code page (as-shipped, windows-1252, koi8-r or gb18030).\n"
    "  --ours-only: leaves the peers out, for a profile of our reader.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage, {"--passes", "--code-page", "--ours-only"});
    int passes = 5;
    std::string only;
    bool oursOnly = false;
    std::vector<std::string> roots;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--passes" || a == "--code-page") && i + 1 >= argc) {
            std::fprintf(stderr, "%s needs a value\n%s", a.c_str(), kUsage);
            return 2;
        }
        if (a == "--passes")
            passes = std::max(1, std::atoi(argv[++i]));
        else if (a == "--code-page")
            only = argv[++i];
        else if (a == "--ours-only")
            oursOnly = true;
        else
            roots.push_back(a);
    }
    if (roots.empty()) roots.push_back("/usr/share/doc/postgresql-doc-15/html");
    std::vector<std::string> pages = LoadCorpus(roots);
    if (pages.empty()) {
        std::fprintf(stderr, "no pages found\n");
        return 1;
    }
    struct Set {
        const char* name;
        const char* charset;
        bool twoByte;
    };
    const Set sets[] = {{"as-shipped", nullptr, false},
                        {"windows-1252", "windows-1252", false},
                        {"koi8-r", "koi8-r", false},
                        {"gb18030", "gb18030", true}};
    bool any = false;
    xmlSetGenericErrorFunc(nullptr, Quiet);
    std::printf("MB per second of processor time on one core, median of %d passes (slowest-fastest)\n",
                passes);
    for (const Set& set : sets) {
        if (!only.empty() && strcasecmp(only.c_str(), set.name) != 0) continue;
        any = true;
        const std::vector<std::string> input =
            set.charset ? Relabelled(pages, set.charset, set.twoByte) : pages;
        Result ours, xml, gumbo;
        const Speed a = MegabytesPerSecond(Ours, input, passes, ours);
        if (oursOnly) {
            std::printf("%-13s %zu pages  ours %s, %zu links\n", set.name, input.size(), Figure(a).c_str(),
                        ours.links);
            continue;
        }
        const Speed b = MegabytesPerSecond(LibXml2, input, passes, xml);
        const Speed c = MegabytesPerSecond(Gumbo, input, passes, gumbo);
        std::printf("%-13s %zu pages  ours %s, %zu links  libxml2 SAX %s, %zu  gumbo %s, %zu  ratio %.2f\n",
                    set.name, input.size(), Figure(a).c_str(), ours.links, Figure(b).c_str(), xml.links,
                    Figure(c).c_str(), gumbo.links, a.median / std::max(b.median, c.median));
    }
    if (!any) {
        std::fprintf(stderr, "no code page %s\n%s", only.c_str(), kUsage);
        return 2;
    }
    return 0;
}
