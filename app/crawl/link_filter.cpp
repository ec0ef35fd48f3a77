#include "app/crawl/link_filter.h"

#include "app/crawl/crawl_address.h"
#include "fetch/address_functions.h"
#include "fetch/html/url_parts.h"
#include "platform/rtl/string_list.h"

namespace crawl {
namespace {

void LowerAsciiLetters(std::string& s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

} // namespace

TLinkFilter::Lines::Lines(const TStringList& List) : caseSensitive(List.CaseSensitive()) {
    for (int i = 0; i < List.Count(); ++i) {
        std::string line = List.Strings(i);
        if (!caseSensitive) LowerAsciiLetters(line);
        set.insert(std::move(line));
    }
}

bool TLinkFilter::Lines::Holds(std::string Line) const {
    if (set.empty()) return false;
    if (!caseSensitive) LowerAsciiLetters(Line);
    return set.count(Line) != 0;
}

TLinkFilter::TLinkFilter(const std::string& SiteBase, std::string FileTypes, const TStringList& IgnoreFolders,
                         const TStringList& IgnoreFiles)
    : siteBase_(SiteBase), siteKey_(HostKey(SiteBase)), sitePrefix_(crawl::SitePrefix(SiteBase)),
      fileTypes_(std::move(FileTypes)), ignoreFolders_(IgnoreFolders), ignoreFiles_(IgnoreFiles) {}

TLinkFilter::TLinkFilter(const TLinkFilter& Other, const std::string& SiteBase) : TLinkFilter(Other) {
    siteBase_ = SiteBase;
    siteKey_ = HostKey(SiteBase);
    sitePrefix_ = crawl::SitePrefix(SiteBase);
}

bool TLinkFilter::Accepts(const std::string& Link) const {
    // Two texts that do not parse count as the same host, so the form is checked first.
    if (!IsWebAddress(Link)) return false;
    TURLparts parts;
    parts.SetURL(Link);
    if ((parts.Parsed() ? HostKey(parts.Uri()) : HostKey(Link)) != siteKey_) return false;
    if (parts.HasFile() && !IsFileTypeInList(parts.FileName(), fileTypes_)) return false;
    // The ignore lists are mostly empty: the addresses they are searched for are then not even built.
    if (!ignoreFolders_.set.empty() && ignoreFolders_.Holds(parts.FolderOf())) return false;
    if (parts.HasFile() && !ignoreFiles_.set.empty() && ignoreFiles_.Holds(parts.FileAddress())) return false;
    return true;
}

} // namespace crawl
