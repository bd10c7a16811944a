// Made-up chains for tests: series whose batch means are given, and a pseudo-random walk table.
#pragma once

#include <memory>
#include <vector>

#include "core/sample_table.h"
#include "stats/mser_burn_in.h"

namespace varno {

// Rows holding each batch mean kMserBatchRows times: their batch means are exactly the given values.
template <class Value>
std::vector<Value> batchesOf(const std::vector<Value>& means) {
  std::vector<Value> rows;
  for (Value z : means) rows.insert(rows.end(), kMserBatchRows, z);
  return rows;
}

// Two columns: a counter 1, 2, 3, ... and x(r) = decay x(r - 1) + u, u pseudo-random in [0, scale)
// from `seed`, x(-1) = start: a transient from `start` into an autocorrelated stationary series.
inline std::shared_ptr<const SampleTable> walkTable(int rows, unsigned seed, double start, double decay,
                                                    double scale) {
  auto table = std::make_shared<SampleTable>(2, rows);
  double x = start;
  for (int r = 0; r < rows; ++r) {
    seed = seed * 1103515245u + 12345u;
    x = decay * x + scale * static_cast<double>((seed >> 8) % 10000) / 10000.0;
    table->cell(0, r) = static_cast<float>(r + 1);
    table->cell(1, r) = static_cast<float>(x);
  }
  return table;
}

}  // namespace varno
