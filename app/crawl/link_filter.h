#pragma once
// What decides whether a link belongs to a crawl: the site's key and address prefix, the wanted file
// types and the ignored folders and files, copied when the crawl starts (and again when its start page
// lands on another site). The crawl's thread and the worker that judges redirects ask the same filter;
// neither sees the profile or the option lists change while the crawl runs.
#include <string>
#include <unordered_set>

class TStringList;

namespace crawl {

class TLinkFilter {
public:
    TLinkFilter(const std::string& SiteBase, std::string FileTypes, const TStringList& IgnoreFolders,
                const TStringList& IgnoreFiles);
    // The same types and ignore lists for the site at SiteBase.
    TLinkFilter(const TLinkFilter& Other, const std::string& SiteBase);

    // The link is on the site (begins with "http", same host and port), of a wanted type, and in no
    // ignored folder and no ignored file.
    bool Accepts(const std::string& Link) const;
    const std::string& SiteBase() const { return siteBase_; }
    const std::string& SiteKey() const { return siteKey_; }
    // The scheme and authority every address of the site is queued with.
    const std::string& SitePrefix() const { return sitePrefix_; }

private:
    // An ignore list's lines as its IndexOf compares them.
    struct Lines {
        Lines(const TStringList& List);
        bool Holds(std::string Line) const;
        std::unordered_set<std::string> set;
        bool caseSensitive = false;
    };

    std::string siteBase_, siteKey_, sitePrefix_, fileTypes_;
    Lines ignoreFolders_, ignoreFiles_;
};

} // namespace crawl
