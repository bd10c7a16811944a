// The burn-in / burn-out window: retained rows and the exchange between the edits and track bars.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "stats/row_range.h"

namespace varno {

// Rows i with burnIn <= i < rowCount - burnOut, clamped to 0..rowCount (begin <= end), so that
// values left from a longer file or negative values never reach outside the table.
RowRange retainedRows(long long burnIn, long long burnOut, int rowCount);

// trunc(100 burn / rowCount) limited to 0..100: the track bar position of a burn value. Exact for
// whole values (integer arithmetic); 0 when rowCount <= 0.
int burnPercentage(double burn, int rowCount);

// What the change handler of a burn edit must do after its text changed.
struct BurnEditOutcome {
  // The corrected text to write into the edit; nullopt when the text stands as it is.
  std::optional<std::string> rewriteText;
  // The position to give the edit's track bar.
  int trackBarPosition = 0;
  // When both limits had to be corrected, the value of the first correction (rowCount - 1),
  // written before rewriteText (nullopt when it would write the same text as rewriteText). The handler writes it first so that a focused track bar's own
  // rewrite, run nested inside that write, is overwritten by rewriteText afterwards.
  std::optional<std::string> firstRewriteText;
};

// The edit-changed step: a = decimal reading of the edit; a >= R - 1 gives R - 1; then, with o the
// decimal reading of the other edit, R - 1 <= a + o gives R - o - 2. A value that would fall below
// 0 (R < 2, another edit left from a longer file, a pasted negative number) is written as 0.
// Texts are returned only when they differ from the edit's current text; an empty or non-numeric
// text that needs no correction is left alone.
BurnEditOutcome burnEditChanged(std::string_view text, std::string_view otherText, int rowCount);

// The text a user-moved track bar writes into its edit: ceil(rowCount p / 100) in exact integer
// arithmetic, p limited to 0..100 and a negative rowCount taken as 0.
std::string burnTextForPercentage(int p, int rowCount);

// The burn values that fit a newly opened file of rowCount rows, or nullopt when they already fit
// (both >= 0 and, for rowCount >= 2, burnIn + burnOut <= rowCount - 2; for rowCount < 2 both 0).
// Negative values become 0; a range that leaves fewer than two rows (or, for a table of fewer
// than two rows, any rows cut off) becomes 0 and 0: the whole new table is retained.
std::optional<std::pair<long long, long long>> fitRangeToRows(long long burnIn,
                                                              long long burnOut, int rowCount);

// The rows a newly opened file of rowCount rows will retain, from the burn values the edits say
// before the file is read: the fitted values of fitRangeToRows, or all rows when an edit's text is
// not a whole number (nothing; the window leaves such an edit alone).
RowRange retainedRowsOnOpen(std::optional<long long> burnIn, std::optional<long long> burnOut, int rowCount);

}  // namespace varno
