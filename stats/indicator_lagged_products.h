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
// such chains. From kCountedLags on, the pairs of every lag come from one FFT of the draws,
// rounded to whole numbers, which they are: the same counts, so the same sums, in n log n.
class IndicatorLaggedProducts {
 public:
  // Counting a lag costs n / 64 words; the two transforms of 2n points cost about as much as
  // counting 3,500 to 5,500 lags at 10^5 to 10^6 draws (more at 10^7: bench/), so a chain whose
  // sequence stops before this lag never pays for them, and one that goes on pays about twice.
  static constexpr std::size_t kCountedLags = 4096;

  // Whether every draw is 0 or 1.
  static bool fits(std::span<const double> x);

  // `x` must fit and outlive this object; `mean` is the mean the products are centred on.
  IndicatorLaggedProducts(std::span<const double> x, double mean);

  // The sum for lag k < n.
  double at(std::size_t lag);

 private:
  // The ones among draws 0 .. position - 1.
  long long onesBefore(std::size_t position) const;
  // The pairs of ones `lag` apart.
  long long pairs(std::size_t lag);

  std::span<const double> x_;
  double mean_ = 0;
  std::vector<std::uint64_t> bits_;     // draw i at bit i % 64 of word i / 64; zeros past the end
  std::vector<long long> onesBefore_;  // by word: the ones in the words before it
  std::vector<double> allPairs_;       // by lag, once a lag from kCountedLags on is asked for
  bool fftFailed_ = false;             // a transform's sum was not near a whole number
};

}  // namespace varno
