// An Fst-like trace as a chain gives it, for the benchmarks of the column figures: values around
// 0.2 under a slowly wandering level, stored as floats like every table column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace varno::bench {

// level = persistence x level + step x N(0, 1), value = float(0.2 + noise x N(0, 1) + 0.02 x level);
// the same draws for the same seed.
inline std::vector<double> wanderingTrace(std::size_t n, std::uint64_t seed, double persistence, double step,
                                          double noise) {
  std::mt19937_64 rng(seed);
  std::normal_distribution<double> normal(0, 1);
  std::vector<double> values(n);
  double level = 0;
  for (double& v : values) {
    level = persistence * level + step * normal(rng);
    v = static_cast<float>(0.2 + noise * normal(rng) + 0.02 * level);
  }
  return values;
}

}  // namespace varno::bench
