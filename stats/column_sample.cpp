// Gathering and sorting column samples.
#include "stats/column_sample.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <thread>

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

  const std::span<const float> values = table.column(column);
  if (!filtered) {
    sample.assign(values.begin() + begin, values.begin() + end);
    return sample;
  }
  const std::span<const float> models = table.column(modelColumn);
  const double wanted = modelFilter;
  for (int r = begin; r < end; ++r)
    if (static_cast<double>(models[r]) == wanted) sample.push_back(values[r]);
  return sample;
}

namespace {

// Below this size one plain sort is cheaper than starting a thread and merging.
constexpr std::size_t kSplitSortSize = 1 << 16;

}  // namespace

void sortSample(std::span<double> values) {
  // NaNs break the ordering a sort relies on: set them aside first.
  const auto numbers = std::partition(values.begin(), values.end(), [](double v) { return !std::isnan(v); });
  const std::size_t n = static_cast<std::size_t>(numbers - values.begin());
  if (n < kSplitSortSize) {
    std::sort(values.begin(), numbers);
    return;
  }
  const auto middle = values.begin() + n / 2;
  if (std::thread::hardware_concurrency() >= 2) {
    std::exception_ptr failure;
    std::thread lower([&] {
      try {
        std::sort(values.begin(), middle);
      } catch (...) {
        failure = std::current_exception();
      }
    });
    std::sort(middle, numbers);
    lower.join();
    if (failure) std::rethrow_exception(failure);
  } else {
    std::sort(values.begin(), middle);
    std::sort(middle, numbers);
  }
  std::vector<double> merged(n);
  std::merge(values.begin(), middle, middle, numbers, merged.begin());
  std::copy(merged.begin(), merged.end(), values.begin());
}

}  // namespace varno
