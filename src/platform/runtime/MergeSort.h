#pragma once
// A stable merge sort that stays inside its range whatever the comparison answers (the standard
// sorts assume a consistent order and may run off the range otherwise). Internal to the runtime.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace runtime_detail {

// Before(a, b): a must go before b.
template <typename T, typename Before> void MergeSort(std::vector<T>& items, Before before) {
    const size_t n = items.size();
    if (n < 2) return;
    std::vector<T> buffer(n);
    std::vector<T>* src = &items;
    std::vector<T>* dst = &buffer;
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            size_t mid = std::min(lo + width, n);
            size_t hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                // Take from the right only when it must go before the left: equal items keep order.
                if (before((*src)[j], (*src)[i]))
                    (*dst)[k++] = std::move((*src)[j++]);
                else
                    (*dst)[k++] = std::move((*src)[i++]);
            }
            while (i < mid)
                (*dst)[k++] = std::move((*src)[i++]);
            while (j < hi)
                (*dst)[k++] = std::move((*src)[j++]);
        }
        std::swap(src, dst);
    }
    if (src != &items) items = std::move(*src);
}

} // namespace runtime_detail
