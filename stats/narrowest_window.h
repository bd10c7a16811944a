// The narrowest window of a sorted sample: the highest posterior density interval.
#pragma once

#include <cstddef>
#include <span>

namespace varno {

struct SortedInterval {
  double low = 0;
  double high = 0;
};

// Of the windowCount windows s[j] .. s[j + n - windowCount] (j = 0 .. windowCount - 1), the one
// of least width; a width replaces the best only when strictly smaller, so the lowest window wins
// a tie. windowCount is taken within 1 .. n; the sample must not be empty.
SortedInterval narrowestWindow(std::span<const double> sorted, std::size_t windowCount);

}  // namespace varno
