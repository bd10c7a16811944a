// The autocorrelation function of a chain's draws and where the estimator's truncation stopped.
#include "stats/autocorrelation.h"

#include <algorithm>

#include "stats/effective_sample_size.h"
#include "stats/lagged_products.h"

namespace varno {

std::size_t Autocorrelation::lastPlotLag() const {
  if (values.empty()) return 0;
  return std::min(std::max(truncationLag, kAutocorrelationPlotLags), values.size() - 1);
}

Autocorrelation autocorrelation(std::span<const double> draws) {
  Autocorrelation result;
  const std::span<const double> chains[] = {draws};
  if (draws.size() < 2 || degenerateDraws(chains)) return result;
  const double mean = referenceMean(draws);
  std::vector<double> centred(draws.size());
  for (std::size_t i = 0; i < draws.size(); ++i) centred[i] = draws[i] - mean;
  result.values = laggedProductsByFft(centred);
  const double zeroLag = result.values[0];
  for (double& v : result.values) v /= zeroLag;
  result.values[0] = 1;
  result.truncationLag = effectiveSampleSize(chains).lastLag;
  return result;
}

}  // namespace varno
