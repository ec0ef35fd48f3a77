#pragma once
// Reading one page for the page fetcher: its title and its links, sorted into links to follow and not to
// follow. A reader holds its own parser, plugins and buffers, which serve page after page, and nothing
// of the fetcher's: its results are a value the fetcher takes over.
#include "fetch/file_fetcher.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TDIHtmlParser;
class TDIHtmlLinksPlugin;
class TDIHtmlTitlePlugin;
class TDIHtmlCharSetPlugin;
class TDIUri;
struct TDIReadMethod;

namespace fetcher {

// The fetcher's switches a page is read with.
struct ReadSettings {
    TLinkTypes linkTypes = kAllLinkTypes;
    bool resolveUris = true;
    bool showAllLinkTypes = false;
    bool dontParseFile = false;
    std::string wantedFileTypes;
    std::vector<std::string> nonFollowQueryParts;
    bool operator==(const ReadSettings&) const = default;
};

// What reading a page gave.
struct ReadPage {
    bool parsed = false;
    std::string title;
    bool hasTitle = false;
    // The links to follow, resolved, and beside each its filed form in follow.
    std::vector<std::string> resolved;
    // The filed links to follow and not to follow, in document order.
    std::vector<std::string> follow, nonFollow;
};

// What a page's body is read as when neither the server nor the page names an encoding.
const TDIReadMethod* DefaultReadMethod();
// The read method a Content-Type header names, or DefaultReadMethod().
const TDIReadMethod* ReadMethodOf(const std::string& ContentType);

class PageReader {
public:
    PageReader();
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    // Each link filed, as it is met: the element's text, the resolved link and the filed one.
    using LinkSeen = std::function<void(const std::u16string& TagText, const std::u16string& Resolved,
                                        const std::string& Filed)>;
    // Reads Content, the body of the page at Address (the address it was finally taken from), whose
    // media type is MediaType and whose encoding, unless the page names one, is Method. A page sent to
    // another site (OffSite) files no link. What Page held is replaced (the room of its lists' strings is
    // taken for the new ones).
    void Read(const std::string& Content, const std::string& MediaType, const std::string& Address,
              bool OffSite, const TDIReadMethod* Method, const ReadSettings& Settings, ReadPage& Page,
              const LinkSeen& OnLink = {});

private:
    // What a link came to: its resolved and filed forms, and whether it is followed.
    struct LinkForms {
        std::u16string resolved, filed;
        std::string resolved8, filed8;
        bool follow = false;
    };
    void HandleLink(std::u16string& link);
    void FormsOf(const std::u16string& link, LinkForms& forms);
    // The forms of the links met under the page's base folder (or site, for links from the root), for the
    // links met again: a site's menus repeat the same links on every page, and working each out again
    // costs more than the rest of reading it.
    LinkForms* KnownForms(const std::u16string& link);
    // Drops the forms kept and the counts of their use.
    void ForgetForms();

    std::unique_ptr<TDIHtmlParser> parser_;
    std::unique_ptr<TDIHtmlLinksPlugin> links_;
    std::unique_ptr<TDIHtmlTitlePlugin> titlePlugin_;
    std::unique_ptr<TDIHtmlCharSetPlugin> charSet_;
    // The links plugin's base address, parsed once for all the links of a page.
    std::unique_ptr<TDIUri> base_;
    std::u16string baseText_;
    bool baseParsed_ = false;
    // Each link's address, kept between links so that its buffers are reused.
    std::unique_ptr<TDIUri> link_;
    // The known forms by what of the base a link is resolved with (the base address up to the last '/'
    // of its path, up to its path, or nothing; and whether it parsed) and link; valid for the settings
    // they were worked out with.
    std::unordered_map<std::u16string, std::unordered_map<std::u16string, LinkForms>> known_;
    // The forms for the links of this folder, of this site (links from the root) and absolute links.
    std::unordered_map<std::u16string, LinkForms>* knownHere_ = nullptr;
    std::unordered_map<std::u16string, LinkForms>* knownSite_ = nullptr;
    std::unordered_map<std::u16string, LinkForms>* knownAbsolute_ = nullptr;
    size_t knownCount_ = 0;
    // Look-ups and hits since the forms kept were last cleared; whether they are kept at all.
    size_t knownLookups_ = 0, knownHits_ = 0;
    bool keepForms_ = true;
    ReadSettings knownSettings_;
    // The forms of a link not kept.
    LinkForms forms_;
    // The page being read, and how many of its lists' entries are this page's.
    ReadPage* page_ = nullptr;
    struct Used {
        size_t resolved = 0, follow = 0, nonFollow = 0;
    } used_;
    const ReadSettings* settings_ = nullptr;
    const LinkSeen* onLink_ = nullptr;
    bool offSite_ = false;
};

} // namespace fetcher
