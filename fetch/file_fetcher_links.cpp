// The parsing half of the page fetcher: the page is read, and its title and links taken from the reading.
#include "fetch/file_fetcher.h"
#include "fetch/page_reader.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/unicode.h"

fetcher::ReadSettings TFileFetcher::CurrentReadSettings() const {
    fetcher::ReadSettings s;
    s.linkTypes = linkTypes_;
    s.resolveUris = resolveUris_;
    s.showAllLinkTypes = showAllLinkTypes_;
    s.dontParseFile = dontParseFile_;
    s.wantedFileTypes = wantedFileTypes_;
    for (int i = 0; i < nonFollowQueryParts_->Count(); ++i)
        s.nonFollowQueryParts.push_back(nonFollowQueryParts_->Strings(i));
    return s;
}

void TFileFetcher::ParsePage() {
    const fetcher::ReadSettings settings = CurrentReadSettings();
    fetcher::PageReader::LinkSeen seen;
    if (OnLink)
        seen = [this](const std::u16string& TagText, const std::u16string& Resolved,
                      const std::string& Filed) {
            OnLink(this, Utf16ToUtf8(TagText), Utf16ToUtf8(Resolved), Filed);
        };
    // The lists of the page before last: their strings' room serves this page's links.
    fetcher::ReadPage& read = *readPage_;
    reader_->Read(pageContent_, contentType_, EffectiveUrl(), offSite_, readMethod_, settings, read, seen);
    parsed_ = read.parsed;
    // The title of a page not read is left as the fetch left it.
    if (read.parsed) {
        title_ = std::move(read.title);
        hasTitle_ = read.hasTitle;
    }
    resolvedLinks_.swap(read.resolved);
    follow_.swap(read.follow);
    nonFollow_.swap(read.nonFollow);
    listsFilled_ = false;
}
