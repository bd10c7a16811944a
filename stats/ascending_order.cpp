// Ascending order of draws with their positions, by a stable least-significant-digit radix sort.
#include "stats/ascending_order.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "stats/ordered_key.h"

namespace varno {

namespace {
constexpr std::size_t kComparisonSortSize = 256;
}

std::vector<OrderedDraw> ascendingOrder(std::span<const double> values) {
  std::vector<OrderedDraw> order;
  order.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!std::isnan(values[i])) order.push_back({values[i], static_cast<std::uint32_t>(i)});
  const std::size_t n = order.size();
  if (n < kComparisonSortSize) {
    std::stable_sort(order.begin(), order.end(), [](const OrderedDraw& a, const OrderedDraw& b) {
      return orderedKey(a.value) < orderedKey(b.value);
    });
    return order;
  }
  std::array<std::array<std::size_t, 256>, 8> counts{};
  for (const OrderedDraw& d : order) {
    const std::uint64_t key = orderedKey(d.value);
    for (int b = 0; b < 8; ++b) ++counts[b][(key >> (8 * b)) & 0xff];
  }
  std::vector<OrderedDraw> spare(n);
  for (int b = 0; b < 8; ++b) {
    std::array<std::size_t, 256>& count = counts[b];
    // a byte that every key shares orders nothing (values widened from floats share three)
    if (std::find(count.begin(), count.end(), n) != count.end()) continue;
    std::size_t offset = 0;
    for (std::size_t& c : count) offset += std::exchange(c, offset);
    for (const OrderedDraw& d : order) spare[count[(orderedKey(d.value) >> (8 * b)) & 0xff]++] = d;
    order.swap(spare);
  }
  return order;
}

}  // namespace varno
