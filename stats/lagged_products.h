// Sums of lagged products of a centred chain, sum over i of y[i] y[i + k], lag by lag as asked.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace varno {

// All lags 0 .. n - 1 at once by FFT (FFTW), zero-padded so that no product wraps around.
// Safe to call from several threads: FFTW's planning, which is not, is serialised here.
std::vector<double> laggedProductsByFft(std::span<const double> centred);

// Lags as an estimator asks for them. The first lags are summed directly, a few at a time,
// since an estimator that stops after a few dozen lags would waste most of a full FFT; a lag
// from kDirectLags on takes the FFT of all lags.
class LaggedProducts {
 public:
  // Summing a lag directly costs n products, eight lags to a vector; the two transforms of 2n
  // points cost as much as 800 to 1000 lags (measured on 500,000 draws with FFTW's estimated
  // plans), so a chain whose sequence stops before this lag never pays for them, and one that
  // goes on pays at most about one and a half times.
  static constexpr std::size_t kDirectLags = 512;

  // Keeps a view of `centred`, which must outlive this object.
  explicit LaggedProducts(std::span<const double> centred) : y_(centred) {}

  // The sum for lag k < n.
  double at(std::size_t lag) {
    if (lag >= sums_.size()) extend(lag);
    return sums_[lag];
  }

 private:
  void extend(std::size_t lag);

  std::span<const double> y_;
  std::vector<double> sums_;
};

}  // namespace varno
