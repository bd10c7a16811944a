// Split R-hat of independent normal draws, M = 2m split chains of N draws each:
//   R^2 = ((N - 1) / N * W + B / N) / W = (N - 1 + F) / N,  with F = (B / N) / W,
// where B / N is the variance of the split-chain means (M - 1 denominator) and W the mean
// within-chain variance; B / N and W are independent and F follows the F distribution with
// M - 1 and M (N - 1) degrees of freedom (the one-way analysis of variance's ratio). So
//   P(R > r) = P(F > N r^2 - N + 1).
// Rank-normalised draws are close to normal, so the same holds for them. The folded R-hat is of
// |x - median|, whose chain means are uncorrelated with those of x for a symmetric distribution:
// the larger of the two misses with 1 - (1 - p)^2. The F tail is Paulson's normal approximation
// of F^(1/3) (Wilson and Hilferty's cube root for chi-square, applied to both degrees of freedom;
// Abramowitz and Stegun 26.6.15), accurate to a few thousandths for the tails used here.
#include "stats/rhat_chance.h"

#include <cmath>

namespace varno {

namespace {

double fUpperTail(double f, double d1, double d2) {
  if (f <= 0) return 1;
  const double a = 2 / (9 * d1), b = 2 / (9 * d2);
  const double c = std::cbrt(f);
  const double z = ((1 - b) * c - (1 - a)) / std::sqrt(a + c * c * b);
  return 0.5 * std::erfc(z / std::sqrt(2.0));
}

}  // namespace

double rhatChanceMiss(int chains, int length, double bound) {
  const int half = length / 2;
  if (chains < 1 || half < 2 || !(bound >= 1) || !std::isfinite(bound)) return 0;
  const double m = 2.0 * chains, n = half;
  const double p = fUpperTail(n * bound * bound - n + 1, m - 1, m * (n - 1));
  return 1 - (1 - p) * (1 - p);
}

}  // namespace varno
