// Summary of one posterior sample: mean, variance, HPDI and kernel-density mode.
#pragma once

#include <span>

#include "stats/posterior_summary.h"

namespace varno {

// Mean, variance (divisor n - 1), the HPDI holding `level` of the draws (a fraction, 0.95 for
// 95%) and the mode on the 200-point Gaussian kernel density grid with the rule-of-thumb
// bandwidth. Sorts `sample` ascending in place. Callers pass at least two draws; one draw gives
// itself as mean, mode and interval with variance 0, none gives all zeros.
PosteriorSummary SummarizeSample(std::span<double> sample, double level);

// The same result by the plain 200 x n kernel sums; kept as the reference for the fast one.
PosteriorSummary summarizeSampleNaive(std::span<double> sample, double level);

}  // namespace varno
