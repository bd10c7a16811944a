// The autocorrelation function of a chain's draws, for the Autocorrelation plot.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace varno {

// The fewest lags the plot shows when the draws allow them.
inline constexpr std::size_t kAutocorrelationPlotLags = 50;

struct Autocorrelation {
  // Lags 0 .. n - 1 (lag 0 is 1); empty where undefined: fewer than 2 draws, a non-finite draw,
  // or draws that are all equal.
  std::vector<double> values;
  // The last lag of the truncated sum of the effective sample size of these draws taken as one
  // chain (Geyer's initial positive sequence); 0 when that is undefined.
  std::size_t truncationLag = 0;

  // The last lag to draw: truncationLag, at least kAutocorrelationPlotLags, at most n - 1.
  std::size_t lastPlotLag() const;
};

// The autocorrelations of the draws in order (biased autocovariances over the variance, by FFT).
Autocorrelation autocorrelation(std::span<const double> draws);

}  // namespace varno
