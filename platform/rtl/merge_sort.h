#pragma once
// A stable merge sort that stays within bounds whatever the comparison answers: list sorts take
// callers' comparison functions, which need not be consistent orders.
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace rtl_detail {

template <typename T, typename Less> void MergeSort(std::vector<T>& items, Less less) {
    const size_t n = items.size();
    if (n < 2) return;
    std::vector<T> buffer(n);
    std::vector<T>* from = &items;
    std::vector<T>* to = &buffer;
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                (*to)[k++] = less((*from)[j], (*from)[i]) ? std::move((*from)[j++]) : std::move((*from)[i++]);
            while (i < mid)
                (*to)[k++] = std::move((*from)[i++]);
            while (j < hi)
                (*to)[k++] = std::move((*from)[j++]);
        }
        std::swap(from, to);
    }
    if (from != &items) items = std::move(*from);
}

} // namespace rtl_detail
