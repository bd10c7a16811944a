// The rule-of-thumb kernel bandwidth as a position of the bandwidth track bar.
#include "stats/default_bandwidth.h"

#include <algorithm>
#include <cmath>

namespace varno {

std::optional<int> defaultBandwidthPosition(int sampleCount, double sampleSumSquares) {
  if (sampleCount < 2) return std::nullopt;
  const double n = sampleCount;
  const double s2 = sampleSumSquares / (n - 1);
  if (!(s2 > 0)) return std::nullopt;
  const double h0 = 1.06 * std::sqrt(s2) * std::pow(n, -0.2);
  // Limited before the conversion so that an infinite or huge logarithm stays defined.
  const double position = std::clamp(100 * std::log(h0), -1000.0, 300.0);
  return static_cast<int>(std::trunc(position));
}

double bandwidthOfPosition(int p) { return std::exp(p / 100.0); }

}  // namespace varno
