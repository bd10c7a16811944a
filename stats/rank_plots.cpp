// A column's rank plots and ESS profile over the chains its diagnostics use.
#include "stats/rank_plots.h"

#include <algorithm>

#include "stats/ascending_order.h"
#include "stats/chain_diagnostics.h"

namespace varno {

UsedChains usedChains(std::span<const std::vector<double>> drawsPerChain) {
  EqualLengthChains equal = equalLengthChains(drawsPerChain);
  UsedChains used;
  used.draws = std::move(equal.chains);
  used.leftOut = std::move(equal.leftOut);
  used.cut = equal.cut;
  used.length = equal.length;
  for (int c = 1; c <= static_cast<int>(drawsPerChain.size()); ++c)
    if (std::find(used.leftOut.begin(), used.leftOut.end(), c) == used.leftOut.end()) used.numbers.push_back(c);
  return used;
}

namespace {

RankPlots rankPlotsWith(std::span<const std::vector<double>> drawsPerChain, int bins, double level,
                        const std::optional<BulkTailEss>& known) {
  RankPlots plots;
  const UsedChains used = usedChains(drawsPerChain);
  if (used.draws.empty()) return plots;
  plots.chains = used.numbers;
  const ChainDraws chains(used.draws);
  std::vector<double> all;
  all.reserve(used.draws.size() * static_cast<std::size_t>(used.length));
  for (auto c : used.draws) all.insert(all.end(), c.begin(), c.end());
  // one sort for the ranks and both ESS
  std::vector<OrderedDraw> order = ascendingOrder(all);
  plots.histogram = rankHistogram(chains, bins, order);
  const BulkTailEss ess = known ? *known : essBulkAndTail(chains, std::move(order));
  plots.essBulk = ess.bulk;
  plots.essTail = ess.tail;
  plots.ecdf = rankEcdf(chains, ess.bulk, ess.tail, level);
  return plots;
}

}  // namespace

RankPlots rankPlots(std::span<const std::vector<double>> drawsPerChain, int bins, double level) {
  return rankPlotsWith(drawsPerChain, bins, level, std::nullopt);
}

RankPlots rankPlots(std::span<const std::vector<double>> drawsPerChain, int bins, double level, BulkTailEss known) {
  return rankPlotsWith(drawsPerChain, bins, level, known);
}

EssProfile columnEssProfile(std::span<const std::vector<double>> drawsPerChain) {
  const UsedChains used = usedChains(drawsPerChain);
  if (used.draws.empty()) return {};
  return essProfile(ChainDraws(used.draws));
}

}  // namespace varno
