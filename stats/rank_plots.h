// The numerics of a column's rank plots and ESS profile over the chains its diagnostics use, for
// the window and the tool alike.
#pragma once

#include <span>
#include <vector>

#include "stats/ess_profile.h"
#include "stats/rank_ecdf.h"
#include "stats/rank_histogram.h"

namespace varno {

// The rank histogram's bins when nothing chooses them.
inline constexpr int kDefaultRankBins = 20;

// The chains a column's diagnostics use (equalLengthChains): at least kMinimumChainDraws draws,
// cut to the shortest of them.
struct UsedChains {
  std::vector<std::span<const double>> draws;
  std::vector<int> numbers;  // 1-based, of each chain used
  std::vector<int> leftOut;  // 1-based
  bool cut = false;
  int length = 0;
};
UsedChains usedChains(std::span<const std::vector<double>> drawsPerChain);

struct RankPlots {
  std::vector<int> chains;  // 1-based numbers of the chains shown, in order; empty: nothing to show
  std::optional<double> essBulk, essTail;  // of the chains shown, which the ECDF's thinning takes
  RankHistogram histogram;
  RankEcdf ecdf;
};

// Both rank plots from each chain's draws of the column (ColumnChainDraws::perChain), the draws
// sorted once for the ranks and the ESS.
RankPlots rankPlots(std::span<const std::vector<double>> drawsPerChain, int bins = kDefaultRankBins,
                    double level = 0.95);
// The same when the bulk and tail ESS of the chains used are known already (the column's
// diagnostics over the same chains): the draws are sorted for the ranks alone.
RankPlots rankPlots(std::span<const std::vector<double>> drawsPerChain, int bins, double level, BulkTailEss known);

// The three ESS series of the chains used.
EssProfile columnEssProfile(std::span<const std::vector<double>> drawsPerChain);

}  // namespace varno
