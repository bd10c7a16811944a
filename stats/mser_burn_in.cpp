// MSER-5 over the batch means of one chain, and the largest suggestion over columns and chains.
#include "stats/mser_burn_in.h"

#include <cmath>
#include <limits>
#include <vector>

namespace varno {

namespace {

// MSER-5 of the n draws get(0) .. get(n - 1).
template <class Get>
MserBurnIn mserOf(std::size_t n, Get get) {
  MserBurnIn result;
  const std::size_t b = n / kMserBatchRows;
  result.batches = static_cast<std::int64_t>(b);
  if (result.batches < kMserMinimumBatches) return result;

  // one pass over the rows: the batch means, and whether any row is non-finite or differs from the first
  std::vector<double> z(b);
  const double first = get(0);
  bool nonFinite = false, varies = false;
  for (std::size_t j = 0; j < b; ++j) {
    double sum = 0;
    for (std::size_t k = j * kMserBatchRows; k < (j + 1) * kMserBatchRows; ++k) {
      const double v = get(k);
      nonFinite |= !(std::abs(v) <= std::numeric_limits<double>::max());
      varies |= v != first;
      sum += v;
    }
    z[j] = sum / kMserBatchRows;
  }
  // the rows after the last batch are in no mean, but still part of the column
  for (std::size_t k = b * kMserBatchRows; k < n; ++k) {
    const double v = get(k);
    nonFinite |= !(std::abs(v) <= std::numeric_limits<double>::max());
    varies |= v != first;
  }
  if (nonFinite) {
    result.outcome = MserOutcome::nonFinite;
    return result;
  }
  if (!varies) {
    result.outcome = MserOutcome::constant;
    return result;
  }

  double total = 0;
  for (double v : z) total += v;
  const double mean = total / static_cast<double>(b);

  // From the last batch down, so that each MSER(d) adds one batch to the sums of MSER(d + 1).
  const std::size_t cap = b / 2;
  double s1 = 0, s2 = 0;
  double least = std::numeric_limits<double>::infinity();
  std::size_t best = b;  // none yet
  for (std::size_t j = b; j-- > 0;) {
    const double e = z[j] - mean;
    s1 += e;
    s2 += e * e;
    const std::size_t d = j;  // batches j + 1 .. b (1-based) are those after the first d
    if (d > cap) continue;
    const double kept = static_cast<double>(b - d);
    const double mser = (s2 - s1 * s1 / kept) / (kept * kept);
    // "<=" on the way down: among equal least values the smallest d wins
    if (mser <= least) {
      least = mser;
      best = d;
    }
  }
  // values so large that their squares overflow leave no finite MSER to compare
  if (best == b || !std::isfinite(least)) {
    result.outcome = MserOutcome::nonFinite;
    return result;
  }
  result.cutBatches = static_cast<std::int64_t>(best);
  if (best == cap) {
    result.outcome = MserOutcome::minimumAtCap;
    return result;
  }
  result.outcome = MserOutcome::suggested;
  result.rows = result.cutBatches * kMserBatchRows;
  return result;
}

}  // namespace

MserBurnIn mserBurnIn(std::span<const double> values) {
  return mserOf(values.size(), [&](std::size_t i) { return values[i]; });
}

MserBurnIn mserBurnIn(std::span<const float> values) {
  return mserOf(values.size(), [&](std::size_t i) { return static_cast<double>(values[i]); });
}

MserBurnIn mserBurnIn(std::span<const float> column, std::span<const int> qualifyingRows) {
  MserBurnIn result = mserOf(qualifyingRows.size(), [&](std::size_t i) {
    return static_cast<double>(column[static_cast<std::size_t>(qualifyingRows[i])]);
  });
  if (result.suggested()) result.rows = qualifyingRows[static_cast<std::size_t>(result.cutBatches * kMserBatchRows)];
  return result;
}

AnalysisBurnIn analysisBurnIn(std::span<const ColumnChainBurnIn> results) {
  AnalysisBurnIn analysis;
  for (const ColumnChainBurnIn& r : results) {
    if (!r.burnIn.suggested()) {
      ++analysis.withoutSuggestion[static_cast<std::size_t>(r.burnIn.outcome)];
      continue;
    }
    analysis.offer(r.burnIn.rows, r.column, r.chain);
  }
  return analysis;
}

}  // namespace varno
