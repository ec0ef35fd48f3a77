#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace results {

// A list of file types ("*.htm;*.html;", lower case, each entry ending in ";") asked about once per
// scanned file. Whether a path's extension is listed is found by comparing it with the listed
// extensions, without building a pattern and searching the whole list for it each time; the answer
// is the one the search gives ("*" + lower-case extension + ";" anywhere in the list).
class TypeList {
public:
    explicit TypeList(std::string lowerList);
    bool Has(std::string_view path) const;
    const std::string& Text() const { return list_; }

private:
    std::string list_;
    // What follows each "*" up to the next ";", by length first so that most compare nothing.
    std::vector<std::string_view> entries_;
};

// The same answer, searching `lowerList` itself: for a list asked about only a few times.
bool TypeInList(std::string_view path, std::string_view lowerList);

} // namespace results
