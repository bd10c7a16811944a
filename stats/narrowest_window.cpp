// The narrowest window of a sorted sample.
#include "stats/narrowest_window.h"

#include <algorithm>

namespace varno {

SortedInterval narrowestWindow(std::span<const double> sorted, std::size_t windowCount) {
  const std::size_t n = sorted.size();
  const std::size_t w = std::clamp<std::size_t>(windowCount, 1, n);
  std::size_t best = 0;
  double bestWidth = sorted[n - w] - sorted[0];
  for (std::size_t j = 1; j < w; ++j) {
    const double width = sorted[n - w + j] - sorted[j];
    if (width < bestWidth) {
      bestWidth = width;
      best = j;
    }
  }
  return {sorted[best], sorted[best + n - w]};
}

}  // namespace varno
