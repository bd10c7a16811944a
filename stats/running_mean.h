// The running mean of a column sample, point by point.
#pragma once

#include <span>
#include <vector>

namespace varno {

// mean_k = ((k - 1) mean_(k-1) + v_k) / k for k = 1..n: the k-th entry is the mean of the first k
// values, updated in this form so that the last entry is the mean shown with the statistics.
std::vector<double> runningMean(std::span<const double> values);

}  // namespace varno
