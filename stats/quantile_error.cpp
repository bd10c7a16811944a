// Quantile ESS and MCSE: the indicator ESS on the split chains and the beta interval of ranks.
#include "stats/quantile_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include <boost/math/distributions/beta.hpp>

#include "stats/ascending_order.h"
#include "stats/effective_sample_size.h"
#include "stats/sorted_quantile.h"

namespace varno {

namespace {

// The published constants, not the normal's exact +-1 sigma probabilities: the figures are
// compared with the reference's to the last digit.
constexpr double kLowSigma = 0.1586553;
constexpr double kHighSigma = 0.8413447;

}  // namespace

bool QuantileErrors::gather(ChainDraws chains) {
  if (chains.empty()) return false;
  m_ = chains.size();
  n_ = chains[0].size();
  if (n_ == 0) return false;
  for (auto c : chains)
    if (c.size() != n_) return false;
  valid_ = true;
  degenerate_ = degenerateDraws(chains);
  all_.reserve(m_ * n_);
  for (auto c : chains) all_.insert(all_.end(), c.begin(), c.end());
  return true;
}

QuantileErrors::QuantileErrors(ChainDraws chains) {
  if (!gather(chains)) return;
  const std::vector<OrderedDraw> order = ascendingOrder(all_);
  sorted_.reserve(order.size());
  for (const OrderedDraw& d : order) sorted_.push_back(d.value);
}

QuantileErrors::QuantileErrors(ChainDraws chains, std::vector<double> ascending) {
  if (gather(chains)) sorted_ = std::move(ascending);
}

std::optional<double> QuantileErrors::ess(double quantile) const {
  const std::size_t half = n_ == 1 ? 1 : n_ / 2;
  std::vector<double> indicator(all_.size());
  for (std::size_t i = 0; i < all_.size(); ++i) indicator[i] = all_[i] <= quantile ? 1 : 0;
  // each chain's first and last half (a middle draw belongs to neither; one draw stays whole)
  std::vector<std::span<const double>> split;
  for (std::size_t c = 0; c < m_; ++c) {
    const std::span<const double> chain(indicator.data() + c * n_, n_);
    split.push_back(chain.first(half));
    if (n_ > 1) split.push_back(chain.last(half));
  }
  return effectiveSampleSize(split).ess;
}

QuantileError QuantileErrors::at(double p) const {
  QuantileError result;
  if (!valid_ || !(p >= 0 && p <= 1)) return result;
  if (sorted_.size() == all_.size()) result.quantile = sortedQuantile(sorted_, p);
  if (degenerate_) return result;
  const double draws = static_cast<double>(all_.size());
  // at p = 1 every draw is at or below the quantile: the indicator is taken just below it
  const double indicatorP = p == 1 ? (draws - 0.5) / draws : p;
  result.ess = ess(sortedQuantile(sorted_, indicatorP));
  if (!result.ess) return result;
  const boost::math::beta_distribution<double> beta(*result.ess * p + 1, *result.ess * (1 - p) + 1);
  const double a1 = boost::math::quantile(beta, kLowSigma), a2 = boost::math::quantile(beta, kHighSigma);
  // 1-based order statistics, as the reference indexes them
  const std::size_t i1 = static_cast<std::size_t>(std::max(std::floor(a1 * draws), 1.0));
  const std::size_t i2 = static_cast<std::size_t>(std::min(std::ceil(a2 * draws), draws));
  result.mcse = (sorted_[i2 - 1] - sorted_[i1 - 1]) / 2;
  return result;
}

std::optional<double> QuantileErrors::quantile(double p) const {
  if (!valid_ || !(p >= 0 && p <= 1) || sorted_.size() != all_.size()) return std::nullopt;
  return sortedQuantile(sorted_, p);
}

std::optional<double> QuantileErrors::limitMcse(double limit) const {
  if (!valid_ || std::isnan(limit)) return std::nullopt;
  const auto atOrBelow = std::upper_bound(sorted_.begin(), sorted_.end(), limit) - sorted_.begin();
  return at(static_cast<double>(atOrBelow) / static_cast<double>(all_.size())).mcse;
}

std::string quantileName(double p) {
  char text[64] = {'q'};
  const auto end = std::to_chars(text + 1, text + sizeof text, p * 100, std::chars_format::general, 15).ptr;
  return std::string(text, end);
}

std::optional<double> essQuantile(ChainDraws chains, double p) { return QuantileErrors(chains).at(p).ess; }
std::optional<double> mcseQuantile(ChainDraws chains, double p) { return QuantileErrors(chains).at(p).mcse; }

}  // namespace varno
