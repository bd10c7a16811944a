// Sums of lagged products of a centred chain of zeros and ones, from counts of ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace varno {

// For a chain x of zeros and ones with mean p, the sum over i < n - k of (x[i] - p)(x[i + k] - p)
// is C - p (A + B) + (n - k) p^2: C counts the pairs of ones k apart, A the ones among the first
// n - k draws and B those among the last n - k. The draws are kept as bits, 64 to a word, so a
// lag costs n / 64 word operations instead of n products: the tail diagnostics' indicators are
// such chains.
class IndicatorLaggedProducts {
 public:
  // Whether every draw is 0 or 1.
  static bool fits(std::span<const double> x);

  // `x` must fit; `mean` is the mean the products are centred on.
  IndicatorLaggedProducts(std::span<const double> x, double mean);

  // The sum for lag k < n.
  double at(std::size_t lag) const;

 private:
  // The ones among draws 0 .. position - 1.
  long long onesBefore(std::size_t position) const;

  std::size_t n_ = 0;
  double mean_ = 0;
  std::vector<std::uint64_t> bits_;     // draw i at bit i % 64 of word i / 64; zeros past the end
  std::vector<long long> onesBefore_;  // by word: the ones in the words before it
};

}  // namespace varno
