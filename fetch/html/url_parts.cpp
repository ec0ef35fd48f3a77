#include "fetch/html/url_parts.h"

#include "platform/rtl/unicode.h"

#include <string_view>

void TURLparts::SetURL(const std::string& url) {
    url_ = url;
    parsed_ = uri_.Parse(Utf8ToUtf16(url));
    Split();
}

std::string TURLparts::Root() const {
    std::u16string authority;
    uri_.ComposeAuthority(authority);
    return Utf16ToUtf8(uri_.Scheme()) + "://" + Utf16ToUtf8(authority);
}

void TURLparts::Split() {
    // Only "/" separates segments: a blank or a quote is part of a name. A path ending in "/" names a
    // folder, whatever its last segment looks like.
    path_ = Utf16ToUtf8(uri_.Path());
    listsMade_ = false;
    hasFile_ = false;
    fileName_.clear();
    if (path_.empty() || path_.back() == '/') return;
    const size_t slash = path_.rfind('/');
    std::string_view last(path_);
    if (slash != std::string::npos) last.remove_prefix(slash + 1);
    if (last.find('.') != std::string_view::npos || last.front() == '?') {
        fileName_ = last;
        hasFile_ = true;
    }
}

void TURLparts::MakeLists() const {
    if (listsMade_) return;
    listsMade_ = true;
    segments_.clear();
    prefixes_.clear();
    size_t start = 0;
    while (start <= path_.size()) {
        size_t slash = path_.find('/', start);
        if (slash == std::string::npos) slash = path_.size();
        if (slash > start) segments_.push_back(path_.substr(start, slash - start));
        start = slash + 1;
    }
    std::string accumulated = Root();
    for (size_t i = 0; i < segments_.size(); ++i) {
        accumulated += "/" + segments_[i];
        const bool file = hasFile_ && i + 1 == segments_.size();
        prefixes_.push_back(file ? accumulated : accumulated + "/");
    }
}

std::string TURLparts::FolderOf() const {
    std::string result;
    if (hasFile_) {
        // The prefix before the file's, spelt as Prefixes() spells it (empty segments left out), without
        // making every prefix: that cost an address deep down the square of its length.
        result = Root();
        const size_t file = path_.rfind('/');
        for (size_t start = 0; file != std::string::npos && start < file;) {
            const size_t slash = path_.find('/', start);
            if (slash > start) result.append("/").append(path_, start, slash - start);
            start = slash + 1;
        }
        result += '/';
    } else {
        // Built from the path alone, so a "/" inside the query never moves the folder.
        result = FileAddress();
    }
    if (result.empty() || result.back() != '/') result += '/';
    return result;
}

std::string TURLparts::FileAddress() const {
    return Root() + path_;
}

std::string TURLparts::FullAddress() const {
    std::u16string composed;
    uri_.Compose(composed);
    return Utf16ToUtf8(composed);
}
