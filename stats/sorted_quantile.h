// The type 7 quantile of values already in ascending order.
#pragma once

#include <span>

namespace varno {

// At 1 + (n - 1) p, interpolated between its neighbours as the reference interpolates them; n >= 1.
double sortedQuantile(std::span<const double> ascending, double p);

}  // namespace varno
