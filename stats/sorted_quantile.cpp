// Type 7 quantiles of sorted values.
#include "stats/sorted_quantile.h"

#include <cmath>

namespace varno {

double sortedQuantile(std::span<const double> sorted, double p) {
  const double index = 1 + static_cast<double>(sorted.size() - 1) * p;
  const double lo = std::floor(index), hi = std::ceil(index);
  const double low = sorted[static_cast<std::size_t>(lo) - 1], high = sorted[static_cast<std::size_t>(hi) - 1];
  if (!(index > lo && high != low)) return low;
  const double h = index - lo;
  return (1 - h) * low + h * high;
}

}  // namespace varno
