// Quantile, local and over-the-run ESS, each series from one ordering of the draws.
#include "stats/ess_profile.h"

#include <cmath>

#include "core/parallel_for.h"
#include "stats/ascending_order.h"
#include "stats/quantile_error.h"

namespace varno {

namespace {

bool oneLength(ChainDraws chains) {
  if (chains.empty() || chains[0].empty()) return false;
  for (auto c : chains)
    if (c.size() != chains[0].size()) return false;
  return true;
}

double probability(int k) { return static_cast<double>(k) / kEssProfileIntervals; }

std::vector<EssPoint> quantileEss(const QuantileErrors& errors) {
  std::vector<EssPoint> points;
  for (int k = 1; k < kEssProfileIntervals; ++k) points.push_back({probability(k), errors.at(probability(k)).ess});
  return points;
}

std::vector<EssPoint> localEss(ChainDraws chains, const QuantileErrors& errors) {
  std::vector<EssPoint> points;
  for (int k = 1; k <= kEssProfileIntervals; ++k) points.push_back({(k - 0.5) / kEssProfileIntervals, std::nullopt});
  if (!oneLength(chains)) return points;
  const std::size_t n = chains[0].size();
  std::vector<double> indicator(chains.size() * n);
  std::vector<std::span<const double>> indicatorChains;
  for (std::size_t c = 0; c < chains.size(); ++c) indicatorChains.emplace_back(indicator.data() + c * n, n);
  for (int k = 1; k <= kEssProfileIntervals; ++k) {
    const auto low = errors.quantile(probability(k - 1)), high = errors.quantile(probability(k));
    if (!low || !high) return points;  // a NaN draw: no quantiles
    // closed at both ends, as the quantiles themselves are draws or between two
    for (std::size_t c = 0; c < chains.size(); ++c)
      for (std::size_t i = 0; i < n; ++i) indicator[c * n + i] = chains[c][i] >= *low && chains[c][i] <= *high;
    points[static_cast<std::size_t>(k - 1)].ess = essSplit(indicatorChains);
  }
  return points;
}

}  // namespace

std::vector<EssPoint> quantileEss(ChainDraws chains) { return quantileEss(QuantileErrors(chains)); }

std::vector<EssPoint> localEss(ChainDraws chains) { return localEss(chains, QuantileErrors(chains)); }

std::vector<EssRunPoint> essOverRun(ChainDraws chains, int threads) {
  std::vector<EssRunPoint> points;
  if (!oneLength(chains)) return points;
  const std::size_t n = chains[0].size();
  std::vector<double> all;
  all.reserve(chains.size() * n);
  for (auto c : chains) all.insert(all.end(), c.begin(), c.end());
  const std::vector<OrderedDraw> order = ascendingOrder(all);
  points.resize(kEssRunSteps);
  // the longest first, so that two threads share the work about evenly
  parallelFor(kEssRunSteps, threads, [&](std::size_t piece) {
    const int k = kEssRunSteps - static_cast<int>(piece);
    const std::size_t rows = static_cast<std::size_t>(k) * n / kEssRunSteps;
    EssRunPoint& point = points[static_cast<std::size_t>(k - 1)];
    point.draws = static_cast<std::int64_t>(rows);
    if (rows == 0) return;
    std::vector<std::span<const double>> firstRows;
    for (auto c : chains) firstRows.push_back(c.first(rows));
    // the whole run's order, each chain's later draws dropped, is the order of the first rows
    std::vector<OrderedDraw> kept;
    kept.reserve(rows * chains.size());
    // positions fit 32 bits (the order's own), whose division is the cheaper
    const auto length = static_cast<std::uint32_t>(n), first = static_cast<std::uint32_t>(rows);
    for (const OrderedDraw& d : order) {
      const std::uint32_t chain = d.index / length, position = d.index - chain * length;
      if (position < first) kept.push_back({d.value, chain * first + position});
    }
    const BulkTailEss ess = essBulkAndTail(firstRows, std::move(kept));
    point.essBulk = ess.bulk;
    point.essTail = ess.tail;
  });
  return points;
}

EssProfile essProfile(ChainDraws chains) {
  const QuantileErrors errors(chains);
  return {quantileEss(errors), localEss(chains, errors), essOverRun(chains)};
}

}  // namespace varno
