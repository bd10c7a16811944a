// The ESS of a column where the draws lie and as the run goes on: by quantile, by small interval
// of quantiles, and on the first tenths of every chain.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "stats/convergence_diagnostics.h"

namespace varno {

inline constexpr int kEssProfileIntervals = 20;  // quantiles at k / 20
inline constexpr int kEssRunSteps = 10;          // the run in tenths

struct EssPoint {
  double x = 0;  // a probability
  std::optional<double> ess;
  bool operator==(const EssPoint&) const = default;
};

struct EssRunPoint {
  std::int64_t draws = 0;  // of each chain: floor(k n / 10)
  std::optional<double> essBulk, essTail;
  bool operator==(const EssRunPoint&) const = default;
};

// All chains of one length n (cut them as the diagnostics do); nothing is undefined but where
// the reference's figure is NA.
// ess_quantile at p = k / 20, k = 1 .. 19.
std::vector<EssPoint> quantileEss(ChainDraws chains);
// ess_basic of the indicator of q((k - 1) / 20) <= x <= q(k / 20), k = 1 .. 20, type 7 quantiles
// of all draws; x is the middle of the interval, (k - 0.5) / 20.
std::vector<EssPoint> localEss(ChainDraws chains);
// ess_bulk and ess_tail of the first floor(k n / 10) draws of every chain, k = 1 .. 10, from one
// ordering of all draws, the tenths spread over up to `threads` threads.
std::vector<EssRunPoint> essOverRun(ChainDraws chains, int threads = 2);

struct EssProfile {
  std::vector<EssPoint> quantile, local;
  std::vector<EssRunPoint> run;
  bool operator==(const EssProfile&) const = default;
};
EssProfile essProfile(ChainDraws chains);

}  // namespace varno
