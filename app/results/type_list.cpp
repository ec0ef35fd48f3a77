#include "app/results/type_list.h"

#include <algorithm>

namespace results {
namespace {

std::string_view ExtensionOf(std::string_view path) {
    size_t dot = path.find_last_of("./");
    return dot != std::string_view::npos && path[dot] == '.' ? path.substr(dot) : std::string_view();
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

} // namespace

bool TypeInList(std::string_view path, std::string_view lowerList) {
    std::string entry(1, '*');
    for (char c : ExtensionOf(path))
        entry += Lower(c);
    entry += ';';
    return lowerList.find(entry) != std::string_view::npos;
}

TypeList::TypeList(std::string lowerList) : list_(std::move(lowerList)) {
    const std::string_view list(list_);
    for (size_t star = list.find('*'); star != std::string_view::npos; star = list.find('*', star + 1)) {
        size_t end = list.find(';', star + 1);
        if (end == std::string_view::npos) break;
        entries_.push_back(list.substr(star + 1, end - star - 1));
    }
    std::sort(entries_.begin(), entries_.end(), [](std::string_view a, std::string_view b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    entries_.erase(std::unique(entries_.begin(), entries_.end()), entries_.end());
}

bool TypeList::Has(std::string_view path) const {
    const std::string_view ext = ExtensionOf(path);
    // An extension holding a ";" can match across entries: only the search answers that.
    if (ext.find(';') != std::string_view::npos) return TypeInList(path, list_);
    for (std::string_view e : entries_) {
        if (e.size() < ext.size()) continue;
        if (e.size() > ext.size()) break;
        size_t i = 0;
        while (i < ext.size() && Lower(ext[i]) == e[i])
            ++i;
        if (i == ext.size()) return true;
    }
    return false;
}

} // namespace results
