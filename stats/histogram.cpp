// Histogram class counts of a column sample and the bars that show them.
#include "stats/histogram.h"

#include <algorithm>
#include <cmath>

namespace varno {

Histogram histogramOf(std::span<const double> values, double min, double max, int classCount) {
  const int b = std::clamp(classCount, 2, 200);
  const double w = (max - min) / (b - 1);
  Histogram histogram;
  histogram.min = min;
  if (!(w > 0) || !std::isfinite(w) || !std::isfinite(min)) {
    histogram.counts.assign(1, 0);
    for (double v : values) {
      if (!std::isnan(v)) ++histogram.counts[0];
    }
    return histogram;
  }
  histogram.classWidth = w;
  histogram.counts.assign(static_cast<std::size_t>(b), 0);
  const int last = b - 1;
  for (double v : values) {
    if (std::isnan(v)) continue;
    int k = 0;
    if (v >= max) {
      k = last;
    } else if (v > min) {
      // Between min and max the quotient is finite and below about b; limit it to the last class.
      const double q = (v - min) / w;
      k = q >= last ? last : static_cast<int>(q);
    }
    ++histogram.counts[static_cast<std::size_t>(k)];
  }
  return histogram;
}

std::vector<std::pair<double, double>> histogramBars(const Histogram& histogram) {
  std::vector<std::pair<double, double>> bars;
  bars.reserve(histogram.counts.size());
  for (std::size_t k = 0; k < histogram.counts.size(); ++k) {
    bars.emplace_back(histogram.min + static_cast<double>(k) * histogram.classWidth,
                      histogram.counts[k]);
  }
  return bars;
}

}  // namespace varno
