// Posterior summaries kept per quantity: mean, mode, HPDI low and high, as four parallel arrays.
#pragma once

#include <cstddef>
#include <vector>

namespace varno {

struct SummaryArrays {
  std::vector<double> mean, mode, low, high;

  // Zero-filled arrays of n entries, replacing the previous ones.
  void reset(std::size_t n) {
    mean.assign(n, 0.0);
    mode.assign(n, 0.0);
    low.assign(n, 0.0);
    high.assign(n, 0.0);
  }
  // Arrays of n entries keeping the first ones; new entries are zero.
  void resize(std::size_t n) {
    mean.resize(n, 0.0);
    mode.resize(n, 0.0);
    low.resize(n, 0.0);
    high.resize(n, 0.0);
  }
  std::size_t size() const { return mean.size(); }
  bool operator==(const SummaryArrays&) const = default;
};

}  // namespace varno
