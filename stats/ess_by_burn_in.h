// The effective sample sizes of a column as the burn-in grows: where a transient ends, they peak.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/progress.h"
#include "core/table_layout.h"
#include "stats/chain_rows.h"

namespace varno {

// The candidate burn-ins: floor(k n / kEssBurnInSteps) rows for k = 0 .. kEssBurnInCandidates - 1,
// n the shortest chain's rows: 0 to half the chain in twentieths.
inline constexpr int kEssBurnInSteps = 20;
inline constexpr int kEssBurnInCandidates = 11;

struct EssAtBurnIn {
  std::int64_t burnIn = 0;  // rows
  std::optional<double> essBulk, essTail;
  bool operator==(const EssAtBurnIn&) const = default;
};

// ess_bulk and ess_tail of 0-based column `column` over the rows left after each candidate
// burn-in and `burnOut`, the draws chosen as the diagnostics choose them (model filter,
// coefficient rule, chains with too few draws left out, the others cut to the shortest). The
// chains' retained rows play no part, only their tables. No entries for no chains or a column
// the diagnostics do not look at. Computed on up to `threads` threads; `progress` counts the
// candidates done, a cancel ends the work with WorkCancelled between them.
std::vector<EssAtBurnIn> essByBurnIn(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                     int modelFilter, long long burnOut, int threads = 2,
                                     Progress& progress = Progress::unwatched());

}  // namespace varno
