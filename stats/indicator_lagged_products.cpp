// Lagged products of indicator chains by counting pairs of ones, a word of draws at a time.
#include "stats/indicator_lagged_products.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "stats/lagged_products.h"

namespace varno {

bool IndicatorLaggedProducts::fits(std::span<const double> x) {
  // Blocks without a branch inside, which run in vector registers; most chains are not
  // indicators and are told so by their first block.
  constexpr std::size_t kBlock = 256;
  for (std::size_t start = 0; start < x.size(); start += kBlock) {
    bool fits = true;
    for (std::size_t i = start; i < std::min(start + kBlock, x.size()); ++i) fits &= (x[i] == 0) | (x[i] == 1);
    if (!fits) return false;
  }
  return true;
}

IndicatorLaggedProducts::IndicatorLaggedProducts(std::span<const double> x, double mean)
    : x_(x), mean_(mean), bits_(x.size() / 64 + 1, 0), onesBefore_(bits_.size() + 1, 0) {
  for (std::size_t i = 0; i < x.size(); ++i) bits_[i / 64] |= static_cast<std::uint64_t>(x[i] == 1) << (i % 64);
  for (std::size_t w = 0; w < bits_.size(); ++w) onesBefore_[w + 1] = onesBefore_[w] + std::popcount(bits_[w]);
}

long long IndicatorLaggedProducts::onesBefore(std::size_t position) const {
  const std::size_t word = position / 64, bit = position % 64;
  const std::uint64_t below = bit == 0 ? 0 : bits_[word] & (~std::uint64_t{0} >> (64 - bit));
  return onesBefore_[word] + std::popcount(below);
}

namespace {

// Pairs (i, i + lag) of ones: each word against the bits lag further on; bits past the end are
// zeros, so no pair runs over it. Built for processors that count bits in one instruction too:
// the baseline counts them in a library call.
__attribute__((target_clones("popcnt", "default")))
long long pairsOfOnes(const std::uint64_t* bits, std::size_t words, std::size_t lag) {
  const std::size_t shift = lag / 64, offset = lag % 64;
  long long pairs = 0;
  if (offset == 0) {
    for (std::size_t w = 0; w + shift < words; ++w) pairs += std::popcount(bits[w] & bits[w + shift]);
    return pairs;
  }
  for (std::size_t w = 0; w + shift + 1 < words; ++w)
    pairs += std::popcount(bits[w] & ((bits[w + shift] >> offset) | (bits[w + shift + 1] << (64 - offset))));
  // the last word has no word after it
  if (shift < words) pairs += std::popcount(bits[words - 1 - shift] & (bits[words - 1] >> offset));
  return pairs;
}

}  // namespace

long long IndicatorLaggedProducts::pairs(std::size_t lag) {
  if (lag == 0) return onesBefore_.back();  // every one pairs with itself
  if (lag >= kCountedLags && !fftFailed_) {
    if (allPairs_.empty()) {
      // Each sum is a whole number below n, and the transforms' rounding stays orders of
      // magnitude below a half at any length a table holds; a sum that strays from a whole
      // number by a quarter is not trusted, and every lag is counted instead.
      allPairs_ = laggedProductsByFft(x_);
      for (double& v : allPairs_) {
        const double whole = std::nearbyint(v);
        fftFailed_ |= !(std::abs(v - whole) <= 0.25);
        v = whole;
      }
      fftFailed_ |= allPairs_[0] != static_cast<double>(onesBefore_.back());
      if (fftFailed_) std::vector<double>().swap(allPairs_);
    }
    if (!fftFailed_) return static_cast<long long>(allPairs_[lag]);
  }
  return pairsOfOnes(bits_.data(), bits_.size(), lag);
}

double IndicatorLaggedProducts::at(std::size_t lag) {
  const std::size_t n = x_.size();
  const long long total = onesBefore_.back();
  const long long first = onesBefore(n - lag);      // ones among draws 0 .. n - lag - 1
  const long long last = total - onesBefore(lag);   // ones among draws lag .. n - 1
  const long double p = mean_;
  const long double sum = static_cast<long double>(pairs(lag)) - p * static_cast<long double>(first + last) +
                          static_cast<long double>(n - lag) * p * p;
  return static_cast<double>(sum);
}

}  // namespace varno
