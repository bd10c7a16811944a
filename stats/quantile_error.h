// The Monte Carlo error of quantiles of Markov chain draws: the effective sample size of the
// indicator of the draws at or below a quantile, and the standard error the quantile has then.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "stats/convergence_diagnostics.h"

namespace varno {

struct QuantileError {
  std::optional<double> quantile;  // type 7 over all draws; nothing when a draw is NaN
  std::optional<double> mcse;
  std::optional<double> ess;
  bool operator==(const QuantileError&) const = default;
};

// The quantiles of m chains of n draws each (chains of other lengths give nothing: cut them to
// the shortest first, as chainDiagnostics does), sharing one ordering of the draws. The ESS and
// MCSE are nothing, as the reference's NA, for a NaN or infinite draw, draws that are all equal,
// an indicator that is constant or fewer than 3 draws in a split chain.
class QuantileErrors {
 public:
  explicit QuantileErrors(ChainDraws chains);
  // The same for a caller that has sorted the draws already: `ascending` holds every draw of
  // every chain but the NaNs, ascending.
  QuantileErrors(ChainDraws chains, std::vector<double> ascending);

  // At a probability p in [0, 1] (nothing at all outside it). The ESS is that of the split
  // indicator chains of the draws at or below the type 7 quantile (at p = 1 at p = (N - 0.5) / N,
  // N all draws). The MCSE is half the distance between the order statistics at the 0.1586553
  // and 0.8413447 quantiles of Beta(ess p + 1, ess (1 - p) + 1), taken at floor and ceiling of
  // their share of N: a quantile's one-sigma interval without assuming a density.
  QuantileError at(double p) const;
  // The type 7 quantile alone (nothing for a NaN draw or p outside [0, 1]).
  std::optional<double> quantile(double p) const;

  // The MCSE of a limit of an interval (an HPDI's) treated as a quantile: at p, the share of the
  // draws at or below it. It ignores where the limit itself moves from run to run, so it is a
  // lower bound on the limit's error.
  std::optional<double> limitMcse(double limit) const;

 private:
  bool gather(ChainDraws chains);  // every draw, if the chains are of one length
  std::optional<double> ess(double quantile) const;  // of the indicator of the draws <= quantile

  std::size_t m_ = 0, n_ = 0;
  bool valid_ = false, degenerate_ = true;
  std::vector<double> all_;     // every draw, chain after chain
  std::vector<double> sorted_;  // the draws ascending, NaN left out
};

// The name the reference gives the quantile at p: "q" and 100 p to 15 significant digits, as R
// writes a number ("q5" for 0.05, "q7" for 0.07 though 0.07 * 100 is not 7, "q97.5").
std::string quantileName(double p);

std::optional<double> essQuantile(ChainDraws chains, double p);
std::optional<double> mcseQuantile(ChainDraws chains, double p);

}  // namespace varno
