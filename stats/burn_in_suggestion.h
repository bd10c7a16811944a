// The analysis's suggested burn-in: MSER-5 of every quantity column of every chain (or of one
// column), from each chain's first row whatever the retained rows are.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "core/progress.h"
#include "core/table_layout.h"
#include "stats/chain_rows.h"
#include "stats/mser_burn_in.h"

namespace varno {

// Which columns the suggestion looks at: every quantity column, or one column (0-based).
struct BurnInSource {
  std::optional<int> column;
  bool operator==(const BurnInSource&) const = default;
};

// One column's own suggestion: the largest over its chains (AnalysisBurnIn over this column
// alone, `column` naming it and `chain` the chain that sets it), or none with the count of
// chains by reason. Columns the diagnostics do not look at (the counter, the Model column) have
// `quantity` false and no entries.
struct ColumnBurnIn {
  int column = 0;  // 0-based
  bool quantity = false;
  AnalysisBurnIn burnIn;
  bool operator==(const ColumnBurnIn&) const = default;
};

struct BurnInSuggestion {
  AnalysisBurnIn analysis;  // over the source's columns and every chain; column and chain 0-based
  // Every column of chain 1's table in file order when the source is every quantity; the one
  // column otherwise.
  std::vector<ColumnBurnIn> columns;
  bool operator==(const BurnInSuggestion&) const = default;
};

// MSER-5 of one column in every chain, each over its whole table (chain.rows is ignored): a
// quantity over all rows, a coefficient over the rows whose model holds its factor, and nothing
// for the counter and Model columns (told as in chain 1, as the diagnostics tell them). The model
// filter plays no part: the burn-in is of the chain, whichever model is looked at.
ColumnBurnIn columnBurnIn(std::span<const ChainRows> chains, int column, const TableLayout& layout);

// The suggestion from the source's columns, computed on up to `threads` threads. `progress`
// counts the columns done; a cancel ends the work with WorkCancelled between columns. A source
// column outside chain 1's table gives no entries (no suggestion, every count 0).
BurnInSuggestion suggestBurnIn(std::span<const ChainRows> chains, const TableLayout& layout,
                               const BurnInSource& source, int threads = 2,
                               Progress& progress = Progress::unwatched());

}  // namespace varno
