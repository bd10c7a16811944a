// The draws of a sample in ascending order, each with its position: the ranks of the draws.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace varno {

struct OrderedDraw {
  double value;
  std::uint32_t index;  // position in the sample
};

// The values that are not NaN, ascending, with their positions (equal values in position
// order). A radix sort: a rank normalisation costs about one sort of the column.
std::vector<OrderedDraw> ascendingOrder(std::span<const double> values);

}  // namespace varno
