// The rank ECDF difference of chains with its simultaneous band: each chain's ECDF of its
// draws' fractional ranks among all chains, minus the uniform ECDF it follows when the chains
// agree, and the band all of them stay inside with probability 1 - alpha when they do.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "stats/convergence_diagnostics.h"

namespace varno {

// The ECDF is taken at z = i / K, i = 0 .. K, K the smaller of this and a curve's draws.
inline constexpr int kRankEcdfPoints = 100;
// The simulations that adjust the pointwise level to a simultaneous one; fixed, as is the seed,
// so that the band is the same in every run.
inline constexpr int kBandSimulations = 1000;

// Where L curves of N draws each may lie with simultaneous probability `level`, in counts of
// draws at or below z_i = i / K (i = 0 .. K): the curves' draws are taken as one random
// partition of L N ranks, so a curve's count at z_i is hypergeometric.
struct EcdfBand {
  double gamma = 0;  // the pointwise level whose intervals hold all curves with the level asked
  std::vector<std::int64_t> lower, upper;  // K + 1 counts
};
// gamma from kBandSimulations simulated partitions (a seeded generator of our own), as the
// alpha quantile of each simulation's smallest two-sided pointwise tail probability.
double adjustedGamma(std::int64_t draws, int curves, int points, double level);
EcdfBand ecdfBand(std::int64_t draws, int curves, int points, double level);

struct RankEcdfCurve {
  int chain = 0;                   // 1-based, among the chains given
  int half = 0;                    // one chain: 1 or 2, the half shown; otherwise 0
  std::vector<double> difference;  // ECDF(z_i) - z_i, i = 0 .. K
  std::vector<double> outsideAt;   // the z_i where it leaves the band, ascending
  bool leaves() const { return !outsideAt.empty(); }
  bool operator==(const RankEcdfCurve&) const = default;
};

struct RankEcdf {
  // Each chain keeps its first draw and every thinning-th after it: ceil(S / min(ess_bulk,
  // ess_tail)), S all draws of all chains and the ESS theirs, so that the kept draws are about
  // as many as the independent ones (1 when the ESS is undefined or larger than S).
  std::int64_t thinning = 1;
  std::int64_t drawsPerCurve = 0;  // N of each curve after thinning (and halving)
  bool halves = false;             // one chain, compared as its two halves
  double level = 0.95;
  double gamma = 0;
  std::vector<double> z;             // i / K
  std::vector<double> lower, upper;  // the band of the difference: count / N - z_i
  std::vector<RankEcdfCurve> curves;
  bool operator==(const RankEcdf&) const = default;
};

// Chains of one length (cut them as the diagnostics do); the ESS are the column's over them.
// Fewer than 2 draws per curve after thinning give no curves.
RankEcdf rankEcdf(ChainDraws chains, std::optional<double> essBulk, std::optional<double> essTail,
                  double level = 0.95);

// The thinning rankEcdf uses.
std::int64_t rankEcdfThinning(std::int64_t allDraws, std::optional<double> essBulk, std::optional<double> essTail);

}  // namespace varno
