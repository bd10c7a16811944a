// Geyer's truncated autocorrelation sum and the between/within-chain variance ratio.
#include "stats/effective_sample_size.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "stats/indicator_lagged_products.h"
#include "stats/lagged_products.h"

namespace varno {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool sameLength(std::span<const std::span<const double>> chains) {
  if (chains.empty()) return false;
  return std::all_of(chains.begin(), chains.end(), [&](auto c) { return c.size() == chains[0].size(); });
}

std::optional<double> finite(double v) {
  if (!std::isfinite(v)) return std::nullopt;
  return v;
}

// One chain's autocovariances: lagged products scaled so that lag 0 is its variance with
// divisor n (all zero for a constant chain).
// A chain of zeros and ones (a quantile indicator) has its products counted instead.
class ChainAutocovariance {
 public:
  explicit ChainAutocovariance(std::span<const double> x) : n_(x.size()), mean_(referenceMean(x)), x_(x) {
    if (IndicatorLaggedProducts::fits(x)) {
      indicator_.emplace(x, mean_);
      return;
    }
    centre();
  }
  // products_ views centred_, whose buffer a move keeps and a copy would not
  ChainAutocovariance(ChainAutocovariance&&) = default;
  ChainAutocovariance(const ChainAutocovariance&) = delete;
  ChainAutocovariance& operator=(const ChainAutocovariance&) = delete;

  double mean() const { return mean_; }
  // The reference scales its FFT sums by var(x) (n - 1) / n, which is the lag 0 sum over n.
  double at(std::size_t lag) {
    const double zeroLag = products(0);
    if (zeroLag == 0) return 0;
    const double scale = zeroLag / static_cast<double>(n_);
    return lag == 0 ? scale : products(lag) / zeroLag * scale;
  }

 private:
  // Chains that disagree keep an indicator's sequence going for as many lags as they have draws.
  // From this lag on its sums are those of the centred draws' FFT, as a chain of other draws has
  // them from LaggedProducts::kDirectLags on: the figures published for such chains were
  // computed so, and the exact counts below it cost n log n as well.
  static constexpr std::size_t kExactLags = 16384;

  void centre() {
    centred_.resize(x_.size());
    for (std::size_t i = 0; i < x_.size(); ++i) centred_[i] = x_[i] - mean_;
    products_.emplace(centred_);
  }

  double products(std::size_t lag) {
    if (indicator_ && lag >= kExactLags) {
      indicator_.reset();
      centre();
    }
    return indicator_ ? indicator_->at(lag) : products_->at(lag);
  }

  std::size_t n_;
  double mean_;
  std::span<const double> x_;  // the draws, which outlive this object
  std::optional<IndicatorLaggedProducts> indicator_;
  std::vector<double> centred_;
  std::optional<LaggedProducts> products_;
};

// A sum in four interleaved parts: as exact as one running sum, and not held up by its latency.
template <class Term>
double sumOf(std::size_t n, Term term) {
  double s[4] = {0, 0, 0, 0};
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    s[0] += term(i);
    s[1] += term(i + 1);
    s[2] += term(i + 2);
    s[3] += term(i + 3);
  }
  for (; i < n; ++i) s[0] += term(i);
  return (s[0] + s[1]) + (s[2] + s[3]);
}

}  // namespace

double referenceMean(std::span<const double> values) {
  if (values.empty()) return kNaN;
  const double n = static_cast<double>(values.size());
  const double mean = sumOf(values.size(), [&](std::size_t i) { return values[i]; }) / n;
  if (!std::isfinite(mean)) return mean;
  // a second pass takes back most of the rounding of the first
  return mean + sumOf(values.size(), [&](std::size_t i) { return values[i] - mean; }) / n;
}

double referenceVariance(std::span<const double> values, double mean) {
  if (values.size() < 2) return kNaN;
  const double squares = sumOf(values.size(), [&](std::size_t i) { return (values[i] - mean) * (values[i] - mean); });
  return squares / static_cast<double>(values.size() - 1);
}

bool degenerateDraws(std::span<const std::span<const double>> chains) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  bool nonFinite = false;
  for (auto chain : chains) {
    // no early return: a loop without one runs in vector registers
    for (double v : chain) {
      nonFinite |= !(std::abs(v) <= std::numeric_limits<double>::max());
      low = v < low ? v : low;
      high = v > high ? v : high;
    }
  }
  return nonFinite || !(std::abs(high - low) >= DBL_EPSILON);
}

EffectiveSampleSize effectiveSampleSize(std::span<const std::span<const double>> chains) {
  EffectiveSampleSize result;
  if (!sameLength(chains)) return result;
  const std::size_t m = chains.size();
  const std::size_t n = chains[0].size();
  if (n < 3 || degenerateDraws(chains)) return result;
  const double nd = static_cast<double>(n);

  std::vector<ChainAutocovariance> acov;
  acov.reserve(m);
  for (auto chain : chains) acov.emplace_back(chain);
  auto meanAcov = [&](std::size_t lag) {
    long double sum = 0;
    for (auto& a : acov) sum += a.at(lag);
    return static_cast<double>(sum / static_cast<long double>(m));
  };

  const double meanVar = meanAcov(0) * nd / (nd - 1);
  double varPlus = meanVar * (nd - 1) / nd;
  if (m > 1) {
    std::vector<double> means(m);
    for (std::size_t c = 0; c < m; ++c) means[c] = acov[c].mean();
    varPlus += referenceVariance(means, referenceMean(means));
  }
  auto rho = [&](std::size_t lag) { return 1 - (meanVar - meanAcov(lag)) / varPlus; };

  // Geyer's initial positive sequence: pairs of autocorrelations while their sum stays positive.
  std::vector<double> rhoHat(2, 0.0);
  rhoHat[0] = 1;
  double rhoEven = 1;
  double rhoOdd = rho(1);
  rhoHat[1] = rhoOdd;
  const long long last = static_cast<long long>(n) - 5;
  long long t = 0;
  while (t < last && !std::isnan(rhoEven + rhoOdd) && rhoEven + rhoOdd > 0) {
    t += 2;
    rhoEven = rho(static_cast<std::size_t>(t));
    rhoOdd = rho(static_cast<std::size_t>(t) + 1);
    rhoHat.resize(static_cast<std::size_t>(t) + 2, 0.0);
    if (rhoEven + rhoOdd >= 0) {
      rhoHat[t] = rhoEven;
      rhoHat[t + 1] = rhoOdd;
    }
  }
  const std::size_t maxT = static_cast<std::size_t>(t);
  // the even term after the last pair enters the estimate: less variance for antithetic chains
  if (rhoEven > 0) rhoHat[maxT] = rhoEven;

  // Geyer's initial monotone sequence.
  for (std::size_t u = 2; u + 2 <= maxT; u += 2) {
    if (rhoHat[u] + rhoHat[u + 1] > rhoHat[u - 2] + rhoHat[u - 1]) {
      rhoHat[u] = (rhoHat[u - 2] + rhoHat[u - 1]) / 2;
      rhoHat[u + 1] = rhoHat[u];
    }
  }

  // The sum runs over lags 0 .. maxT - 1, and over lag 0 alone when maxT is 0.
  long double sum = 0;
  for (std::size_t k = 0; k < std::max<std::size_t>(maxT, 1); ++k) sum += rhoHat[k];
  const double draws = static_cast<double>(m) * nd;
  double tau = -1 + 2 * static_cast<double>(sum) + rhoHat[maxT];
  // A lower bound on the autocorrelation time caps the ESS at draws log10(draws).
  tau = std::max(tau, 1 / std::log10(draws));
  result.ess = finite(draws / tau);
  if (result.ess) result.lastLag = maxT;
  return result;
}

std::optional<double> potentialScaleReduction(std::span<const std::span<const double>> chains) {
  if (!sameLength(chains) || degenerateDraws(chains)) return std::nullopt;
  const std::size_t m = chains.size();
  const double n = static_cast<double>(chains[0].size());
  std::vector<double> means(m), variances(m);
  for (std::size_t c = 0; c < m; ++c) {
    means[c] = referenceMean(chains[c]);
    variances[c] = referenceVariance(chains[c], means[c]);
  }
  const double between = n * referenceVariance(means, referenceMean(means));
  const double within = referenceMean(variances);
  return finite(std::sqrt((between / within + n - 1) / n));
}

}  // namespace varno
