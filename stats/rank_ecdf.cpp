// Rank ECDF differences and their simultaneous band: hypergeometric counts of a random partition
// of the ranks, the pointwise level adjusted by simulating such partitions.
#include "stats/rank_ecdf.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <map>
#include <random>

#include "stats/ascending_order.h"
#include "stats/sorted_quantile.h"

namespace varno {

namespace {

// Fixed, so that the band is the same in every run and on every machine.
constexpr std::uint64_t kBandSeed = 20220527;
// The share of the simulated levels the band's pointwise level is taken at moves by this much to
// tell a level that many simulations share (few draws: few distinct counts) from a spread one.
constexpr double kQuantileTolerance = 0.001;
// Probabilities below this share of the most likely count are left out of a count's table.
constexpr double kNegligible = 1e-40;

// The hypergeometric count of successes among `drawn` of `successes + failures`: its tails as
// far as they are not negligible, for lookups of tail probabilities and quantiles.
class HypergeometricTails {
 public:
  HypergeometricTails(std::int64_t drawn, std::int64_t successes, std::int64_t failures) {
    const std::int64_t low = std::max<std::int64_t>(0, drawn - failures), high = std::min(drawn, successes);
    const std::int64_t total = successes + failures;
    std::int64_t mode = static_cast<std::int64_t>(
        std::floor(static_cast<double>(drawn + 1) * static_cast<double>(successes + 1) / static_cast<double>(total + 2)));
    mode = std::clamp(mode, low, high);
    // the probabilities relative to the mode's, by the ratio of neighbours, then normalised
    std::vector<double> down{1.0}, up;
    double p = 1;
    for (std::int64_t x = mode; x > low && p > kNegligible; --x) {
      p *= static_cast<double>(x) * static_cast<double>(failures - drawn + x) /
           (static_cast<double>(successes - x + 1) * static_cast<double>(drawn - x + 1));
      down.push_back(p);
    }
    p = 1;
    for (std::int64_t x = mode; x < high && p > kNegligible; ++x) {
      p *= static_cast<double>(successes - x) * static_cast<double>(drawn - x) /
           (static_cast<double>(x + 1) * static_cast<double>(failures - drawn + x + 1));
      up.push_back(p);
    }
    first_ = mode - static_cast<std::int64_t>(down.size()) + 1;
    std::vector<double> mass(down.rbegin(), down.rend());
    mass.insert(mass.end(), up.begin(), up.end());
    double sum = 0;
    for (double m : mass) sum += m;
    atOrBelow_.resize(mass.size());
    atOrAbove_.resize(mass.size());
    // each tail summed from its own end, so that small tail probabilities keep their digits
    double running = 0;
    for (std::size_t i = 0; i < mass.size(); ++i) atOrBelow_[i] = running += mass[i] / sum;
    running = 0;
    for (std::size_t i = mass.size(); i-- > 0;) atOrAbove_[i] = running += mass[i] / sum;
  }

  double atOrBelow(std::int64_t x) const {
    if (x < first_) return 0;
    if (x >= last()) return 1;
    return atOrBelow_[static_cast<std::size_t>(x - first_)];
  }
  double atOrAbove(std::int64_t x) const {
    if (x <= first_) return 1;
    if (x > last()) return 0;
    return atOrAbove_[static_cast<std::size_t>(x - first_)];
  }
  // The smallest count whose probability at or below reaches p, with the reference's allowance
  // for rounding in the sum.
  std::int64_t quantile(double p) const {
    p *= 1 - 1000 * DBL_EPSILON;
    const auto at = std::lower_bound(atOrBelow_.begin(), atOrBelow_.end(), p);
    if (at == atOrBelow_.end()) return last();
    return first_ + (at - atOrBelow_.begin());
  }

 private:
  std::int64_t last() const { return first_ + static_cast<std::int64_t>(atOrBelow_.size()) - 1; }
  std::int64_t first_ = 0;
  std::vector<double> atOrBelow_, atOrAbove_;
};

double logChoose(double n, double k) { return std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1); }

// One hypergeometric draw by inversion, searching outward from the mode: about a standard
// deviation's worth of steps.
std::int64_t hypergeometricDraw(std::int64_t drawn, std::int64_t successes, std::int64_t failures,
                                std::mt19937_64& random) {
  const std::int64_t low = std::max<std::int64_t>(0, drawn - failures), high = std::min(drawn, successes);
  if (low == high) return low;
  const double n = static_cast<double>(successes + failures), d = static_cast<double>(drawn);
  const double s = static_cast<double>(successes), f = static_cast<double>(failures);
  std::int64_t mode = static_cast<std::int64_t>(std::floor((d + 1) * (s + 1) / (n + 2)));
  mode = std::clamp(mode, low, high);
  const double m = static_cast<double>(mode);
  const double atMode = std::exp(logChoose(s, m) + logChoose(f, d - m) - logChoose(n, d));
  double u = static_cast<double>(random() >> 11) * 0x1p-53 - atMode;
  if (u < 0) return mode;
  std::int64_t below = mode, above = mode;
  double pBelow = atMode, pAbove = atMode;
  while (below > low || above < high) {
    if (above < high) {
      const double x = static_cast<double>(above);
      pAbove *= (s - x) * (d - x) / ((x + 1) * (f - d + x + 1));
      ++above;
      if ((u -= pAbove) < 0) return above;
    }
    if (below > low) {
      const double x = static_cast<double>(below);
      pBelow *= x * (f - d + x) / ((s - x + 1) * (d - x + 1));
      --below;
      if ((u -= pBelow) < 0) return below;
    }
  }
  return mode;  // only the rounding of the probabilities leaves u above 0
}

// The ranks r among `total` with r / total <= z, as the fractional ranks compare.
std::int64_t ranksAtOrBelow(double z, std::int64_t total) {
  const double t = static_cast<double>(total);
  auto r = static_cast<std::int64_t>(std::floor(z * t));
  while (r < total && static_cast<double>(r + 1) / t <= z) ++r;
  while (r > 0 && static_cast<double>(r) / t > z) --r;
  return r;
}

}  // namespace

double adjustedGamma(std::int64_t draws, int curves, int points, double level) {
  if (draws < 1 || curves < 2 || points < 1) return 1 - level;
  const std::int64_t total = draws * curves;
  const auto others = draws * (curves - 1);
  // the cuts z_i = i / K, i = 1 .. K - 1, and each one's count of a curve, as the band sees it
  std::vector<std::int64_t> cuts;
  std::vector<HypergeometricTails> tails;
  for (int i = 1; i < points; ++i) {
    const double z = static_cast<double>(i) / points;
    cuts.push_back(ranksAtOrBelow(z, total));
    tails.emplace_back(static_cast<std::int64_t>(std::floor(z * static_cast<double>(draws) * curves)), draws, others);
  }
  std::mt19937_64 random(kBandSeed);
  std::vector<double> gammas(kBandSimulations);
  std::vector<std::int64_t> left(static_cast<std::size_t>(curves)), below(static_cast<std::size_t>(curves));
  for (double& gamma : gammas) {
    std::fill(left.begin(), left.end(), draws);
    std::fill(below.begin(), below.end(), 0);
    std::int64_t remaining = total, previous = 0;
    double smallest = 1;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
      // the next ranks' curves: one multivariate hypergeometric draw, a curve at a time
      std::int64_t drawn = cuts[i] - previous, population = remaining;
      for (int c = 0; c + 1 < curves && drawn > 0; ++c) {
        const std::int64_t x = hypergeometricDraw(drawn, left[c], population - left[c], random);
        population -= left[c];
        left[c] -= x;
        below[c] += x;
        drawn -= x;
      }
      left[curves - 1] -= drawn;
      below[curves - 1] += drawn;
      remaining -= cuts[i] - previous;
      previous = cuts[i];
      for (std::int64_t count : below)
        smallest = std::min({smallest, tails[i].atOrBelow(count), tails[i].atOrAbove(count)});
    }
    gamma = 2 * smallest;
  }
  std::sort(gammas.begin(), gammas.end());
  const double alpha = 1 - level;
  double a = sortedQuantile(gammas, alpha);
  // many simulations at one level: the band takes the largest level below it
  if (a == sortedQuantile(gammas, alpha + kQuantileTolerance) && gammas.front() < a)
    a = *(std::lower_bound(gammas.begin(), gammas.end(), a) - 1);
  return a;
}

EcdfBand ecdfBand(std::int64_t draws, int curves, int points, double level) {
  EcdfBand band;
  band.gamma = adjustedGamma(draws, curves, points, level);
  const double step = 1.0 / points;
  for (int i = 0; i <= points; ++i) {
    const double z = i == points ? 1.0 : i * step;
    const auto drawn = static_cast<std::int64_t>(std::floor(z * curves * static_cast<double>(draws)));
    const HypergeometricTails tails(drawn, draws, draws * (curves - 1));
    band.lower.push_back(tails.quantile(band.gamma / 2));
    band.upper.push_back(tails.quantile(1 - band.gamma / 2));
  }
  return band;
}

std::int64_t rankEcdfThinning(std::int64_t allDraws, std::optional<double> essBulk, std::optional<double> essTail) {
  std::optional<double> ess = essBulk;
  if (essTail && (!ess || *essTail < *ess)) ess = essTail;
  if (!ess || !(*ess > 0)) return 1;
  return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::ceil(static_cast<double>(allDraws) / *ess)));
}

RankEcdf rankEcdf(ChainDraws chains, std::optional<double> essBulk, std::optional<double> essTail, double level) {
  RankEcdf result;
  result.level = level;
  if (chains.empty()) return result;
  const std::size_t n = chains[0].size();
  for (auto c : chains)
    if (c.size() != n) return result;
  const std::int64_t thinning = rankEcdfThinning(static_cast<std::int64_t>(n * chains.size()), essBulk, essTail);
  result.thinning = thinning;
  // each chain's first draw and every thinning-th after it
  std::vector<std::vector<double>> curves;
  for (auto c : chains) {
    std::vector<double>& kept = curves.emplace_back();
    for (std::size_t i = 0; i < n; i += static_cast<std::size_t>(thinning)) kept.push_back(c[i]);
  }
  std::vector<RankEcdfCurve> shown;
  if (chains.size() == 1) {
    // one chain's ranks are its own: its halves are compared instead (a middle draw in neither)
    const std::vector<double> whole = std::move(curves.front());
    const std::size_t half = whole.size() / 2;
    curves = {std::vector<double>(whole.begin(), whole.begin() + half), std::vector<double>(whole.end() - half, whole.end())};
    result.halves = true;
    shown.resize(2);
    for (int h = 0; h < 2; ++h) {
      shown[h].chain = 1;
      shown[h].half = h + 1;
    }
  } else {
    shown.resize(chains.size());
    for (std::size_t c = 0; c < chains.size(); ++c) shown[c].chain = static_cast<int>(c + 1);
  }
  const std::int64_t draws = static_cast<std::int64_t>(curves.front().size());
  result.drawsPerCurve = draws;
  if (draws < 2) return result;
  std::vector<double> all;
  for (const auto& c : curves) all.insert(all.end(), c.begin(), c.end());
  for (double v : all)
    if (std::isnan(v)) return result;  // a NaN has no rank

  const int points = static_cast<int>(std::min<std::int64_t>(kRankEcdfPoints, draws));
  const int count = static_cast<int>(curves.size());
  for (int i = 0; i <= points; ++i) result.z.push_back(static_cast<double>(i) / points);
  // fractional ranks, ties given their average rank
  const std::vector<OrderedDraw> order = ascendingOrder(all);
  std::vector<double> fraction(all.size());
  const double total = static_cast<double>(all.size());
  for (std::size_t first = 0; first < order.size();) {
    std::size_t end = first + 1;
    while (end < order.size() && order[end].value == order[first].value) ++end;
    const double rank = static_cast<double>(first + 1 + end) / 2;
    for (std::size_t k = first; k < end; ++k) fraction[order[k].index] = rank / total;
    first = end;
  }
  const EcdfBand band = ecdfBand(draws, count, points, level);
  result.gamma = band.gamma;
  const double perCurve = static_cast<double>(draws);
  for (int i = 0; i <= points; ++i) {
    result.lower.push_back(static_cast<double>(band.lower[i]) / perCurve - result.z[i]);
    result.upper.push_back(static_cast<double>(band.upper[i]) / perCurve - result.z[i]);
  }
  for (int c = 0; c < count; ++c) {
    std::vector<double> mine(fraction.begin() + c * draws, fraction.begin() + (c + 1) * draws);
    std::sort(mine.begin(), mine.end());
    RankEcdfCurve& curve = shown[static_cast<std::size_t>(c)];
    for (int i = 0; i <= points; ++i) {
      const double z = result.z[i];
      const auto atOrBelow = std::upper_bound(mine.begin(), mine.end(), z) - mine.begin();
      curve.difference.push_back(static_cast<double>(atOrBelow) / perCurve - z);
      if (atOrBelow < band.lower[i] || atOrBelow > band.upper[i]) curve.outsideAt.push_back(z);
    }
  }
  result.curves = std::move(shown);
  return result;
}

}  // namespace varno
