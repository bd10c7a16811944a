// The retained draws of an analysis of several chains: each chain's own table (shared and
// read-only, never copied into one) with the rows it retains. Pooled figures take chain 1's
// retained rows, then chain 2's, and so on.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "core/sample_table.h"
#include "stats/row_range.h"

namespace varno {

struct ChainRows {
  std::shared_ptr<const SampleTable> table;
  RowRange rows;

  bool operator==(const ChainRows&) const = default;
};

// Burn-in and burn-out apply to every chain alike, in rows of each chain (each clamped to its
// own table as `retainedRows` does). A null table retains no rows.
std::vector<ChainRows> retainedChainRows(std::span<const std::shared_ptr<const SampleTable>> tables,
                                         long long burnIn, long long burnOut);

}  // namespace varno
