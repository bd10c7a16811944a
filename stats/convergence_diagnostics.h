// Convergence diagnostics of Markov chain draws: bulk and tail effective sample sizes,
// rank-normalised split R-hat and the Monte Carlo standard error of the mean.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "stats/ascending_order.h"

namespace varno {

// Several chains of one quantity, each the draws of one run in order.
using ChainDraws = std::span<const std::span<const double>>;

// Every figure is nothing where it is undefined (the reference's NA): fewer than 3 draws in a
// split chain (fewer than 2 for R-hat), draws that are all equal, a non-finite draw (ranks still
// order infinite draws, so ess_bulk and rhat stay defined for them), a quantile indicator that
// is constant, or chains of different lengths. It is never 0 or infinite.
struct ConvergenceDiagnostics {
  std::optional<double> essBulk;
  std::optional<double> essTail;
  std::optional<double> rhat;
  std::optional<double> mcseMean;

  bool operator==(const ConvergenceDiagnostics&) const = default;
};

// All four, sharing one ordering of the draws.
ConvergenceDiagnostics convergenceDiagnostics(ChainDraws chains);
ConvergenceDiagnostics convergenceDiagnostics(std::span<const double> oneChain);
// The same from the draws' ascending order (`ascendingOrder(oneChain)`), for a caller that has
// sorted them already for other figures.
ConvergenceDiagnostics convergenceDiagnostics(std::span<const double> oneChain, std::vector<OrderedDraw> order);

// Bulk and tail ESS of chains from the ascending order of all their draws, chain after chain
// (`ascendingOrder` of them joined), for a caller that has sorted them already.
struct BulkTailEss {
  std::optional<double> bulk, tail;
};
BulkTailEss essBulkAndTail(ChainDraws chains, std::vector<OrderedDraw> order);

// Effective sample size of the rank-normalised split chains (ranks of ties averaged, normal
// scores at (r - 3/8) / (S + 1/4)).
std::optional<double> essBulk(ChainDraws chains);

// The smaller effective sample size of the split indicators of the draws at or below their 5%
// and their 95% quantile (type 7: interpolated between order statistics).
std::optional<double> essTail(ChainDraws chains);

// The larger rank-normalised split R-hat of the draws and of the draws folded about their median.
std::optional<double> rhat(ChainDraws chains);

// Effective sample size of the split (not rank-normalised) chains: the one mcseMean divides by.
std::optional<double> essSplit(ChainDraws chains);

// Standard deviation of all draws over the square root of the effective sample size of the split
// (not rank-normalised) chains.
std::optional<double> mcseMean(ChainDraws chains);

}  // namespace varno
