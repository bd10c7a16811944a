// How a column's draws of several chains rank among all of them: the ranks and each chain's
// counts of ranks in equal bins, which are flat when the chains sample one distribution.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "stats/ascending_order.h"
#include "stats/convergence_diagnostics.h"

namespace varno {

// The rank of every draw among all draws of all chains (chain after chain), ties given the
// average of their ranks; a NaN draw takes no rank (NaN in its place) and is not counted.
std::vector<double> averageRanks(ChainDraws chains);

struct RankHistogram {
  int bins = 0;
  std::int64_t draws = 0;  // N: the ranked draws of all chains
  double expected = 0;     // N / (bins * chains): each bin's count when the chains agree
  // Per chain, the draws whose rank r lies in bin k (1-based): (k - 1) N / bins < r <= k N / bins.
  std::vector<std::vector<std::int64_t>> counts;
  bool operator==(const RankHistogram&) const = default;
};

// The chains may be of any lengths; bins below 1 give no counts.
RankHistogram rankHistogram(ChainDraws chains, int bins);
// The same from the ascending order of every draw of every chain, chain after chain
// (`ascendingOrder` of them joined): the one the diagnostics sort anyway.
RankHistogram rankHistogram(ChainDraws chains, int bins, std::span<const OrderedDraw> order);

}  // namespace varno
