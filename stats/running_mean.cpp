// The running mean of a column sample, point by point.
#include "stats/running_mean.h"

namespace varno {

std::vector<double> runningMean(std::span<const double> values) {
  std::vector<double> means;
  means.reserve(values.size());
  double mean = 0;
  double k = 0;
  for (double v : values) {
    k += 1;
    mean = ((k - 1) * mean + v) / k;
    means.push_back(mean);
  }
  return means;
}

}  // namespace varno
