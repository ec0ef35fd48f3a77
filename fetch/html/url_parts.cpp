#include "fetch/html/url_parts.h"

#include "platform/rtl/unicode.h"

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
    hasFile_ = false;
    fileName_.clear();
    segments_.clear();
    prefixes_.clear();

    // Only "/" separates segments: a blank or a quote is part of a name.
    const std::string path = Utf16ToUtf8(uri_.Path());
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash > start) segments_.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }

    std::string accumulated = Root();
    const bool endsInSlash = !path.empty() && path.back() == '/';
    for (size_t i = 0; i < segments_.size(); ++i) {
        const std::string& segment = segments_[i];
        accumulated += "/" + segment;
        const bool last = i + 1 == segments_.size();
        // A path ending in "/" names a folder, whatever its last segment looks like.
        const bool isFile =
            last && !endsInSlash && (segment.find('.') != std::string::npos || segment.front() == '?');
        if (isFile) {
            fileName_ = segment;
            prefixes_.push_back(accumulated);
            hasFile_ = true;
        } else {
            prefixes_.push_back(accumulated + "/");
        }
    }
}

std::string TURLparts::FolderOf() const {
    std::string result;
    if (hasFile_) {
        result = prefixes_.size() >= 2 ? prefixes_[prefixes_.size() - 2] : Root() + "/";
    } else {
        // Built from the path alone, so a "/" inside the query never moves the folder.
        result = FileAddress();
    }
    if (result.empty() || result.back() != '/') result += '/';
    return result;
}

std::string TURLparts::FileAddress() const {
    return Root() + Utf16ToUtf8(uri_.Path());
}

std::string TURLparts::FullAddress() const {
    std::u16string composed;
    uri_.Compose(composed);
    return Utf16ToUtf8(composed);
}
