#pragma once
// Simple case folding of the BMP as Unicode 4.0 defined it, sorted by source unit.
#include <cstddef>

namespace html_tables {

struct FoldPair {
    char16_t from;
    char16_t to;
};

extern const FoldPair kCaseFold[];
extern const size_t kCaseFoldCount;

} // namespace html_tables
