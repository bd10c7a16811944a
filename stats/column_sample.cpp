// Gathering and sorting column samples.
#include "stats/column_sample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "stats/ordered_key.h"

namespace varno {

std::vector<double> gatherColumnSample(const SampleTable& table, int column, RowRange rows,
                                       int modelFilter, int modelColumn) {
  std::vector<double> sample;
  if (column < 0 || column >= table.columnCount()) return sample;
  const bool filtered = modelFilter != 0 && modelColumn >= 0;
  if (filtered && modelColumn >= table.columnCount()) return sample;
  const int begin = std::max(rows.begin, 0);
  const int end = std::min(rows.end, table.rowCount());
  if (end <= begin) return sample;

  const auto gather = [&](auto values) {
    if (!filtered) {
      sample.assign(values.begin() + begin, values.begin() + end);
      return;
    }
    const std::span<const float> models = table.column(modelColumn);
    const double wanted = modelFilter;
    for (int r = begin; r < end; ++r)
      if (static_cast<double>(models[r]) == wanted) sample.push_back(values[r]);
  };
  // a counter held exactly is gathered exactly
  if (column == 0 && !table.exactFirstColumn().empty())
    gather(table.exactFirstColumn());
  else
    gather(table.column(column));
  return sample;
}

namespace {

// Below this size a comparison sort wins over the passes of a radix sort.
constexpr std::size_t kRadixSortSize = 512;

// Least-significant-digit radix sort, one byte per pass; passes in which every key has the
// same byte are skipped (values widened from floats have their low three bytes all zero).
void radixSort(std::span<double> values) {
  const std::size_t n = values.size();
  std::vector<std::uint64_t> keys(n);
  std::vector<std::uint64_t> spare(n);
  std::vector<std::array<std::size_t, 256>> counts(8);
  for (auto& c : counts) c.fill(0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t key = orderedKey(values[i]);
    keys[i] = key;
    for (int d = 0; d < 8; ++d) ++counts[d][(key >> (8 * d)) & 0xff];
  }
  for (int d = 0; d < 8; ++d) {
    std::array<std::size_t, 256>& count = counts[d];
    if (std::find(count.begin(), count.end(), n) != count.end()) continue;
    std::size_t offset = 0;
    for (std::size_t& c : count) {
      const std::size_t size = c;
      c = offset;
      offset += size;
    }
    for (std::uint64_t key : keys) spare[count[(key >> (8 * d)) & 0xff]++] = key;
    keys.swap(spare);
  }
  for (std::size_t i = 0; i < n; ++i) values[i] = fromOrderedKey(keys[i]);
}

}  // namespace

void sortSample(std::span<double> values) {
  // NaNs have no place in the order: set them aside at the end.
  const auto numbers = std::partition(values.begin(), values.end(), [](double v) { return !std::isnan(v); });
  const std::span<double> ordered(values.begin(), numbers);
  // -0 before +0 on both paths, as every other ordering of draws has them
  if (ordered.size() < kRadixSortSize)
    std::sort(ordered.begin(), ordered.end(), [](double a, double b) { return orderedKey(a) < orderedKey(b); });
  else
    radixSort(ordered);
}

}  // namespace varno
