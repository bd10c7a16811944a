// The effective sample size and the potential scale reduction of chains of equal length, the
// two building blocks of the convergence diagnostics.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace varno {

struct EffectiveSampleSize {
  std::optional<double> ess;  // nothing where undefined
  // The last lag of the truncated sum of autocorrelations (0 when it is undefined).
  std::size_t lastLag = 0;
};

// m chains of n draws each (chains of other lengths give nothing): autocovariances of every
// chain, Geyer's initial positive sequence of paired autocorrelations, made monotone, and the
// autocorrelation time bounded below by 1 / log10(m n). Undefined for n < 3, a non-finite
// draw, or draws that are all equal.
EffectiveSampleSize effectiveSampleSize(std::span<const std::span<const double>> chains);

// The potential scale reduction of m chains of n draws: sqrt((B / W + n - 1) / n) with B n times
// the variance of the chain means and W the mean of the chain variances. Undefined for a
// non-finite draw, draws that are all equal, or a result that is not a finite number.
std::optional<double> potentialScaleReduction(std::span<const std::span<const double>> chains);

// Whether any draw is non-finite or all draws lie within one double epsilon of each other.
bool degenerateDraws(std::span<const std::span<const double>> chains);

// Mean (refined by a second pass) and sample variance (divisor n - 1).
double referenceMean(std::span<const double> values);
double referenceVariance(std::span<const double> values, double mean);

}  // namespace varno
