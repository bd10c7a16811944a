// `--burn-in auto`: taking the suggested burn-in when an analysis is opened.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/table_layout.h"
#include "stats/chain_rows.h"
#include "stats/mser_burn_in.h"

namespace varno {

struct RunError;

// The burn-in taken from the suggestion.
struct TakenBurnIn {
  AnalysisBurnIn suggestion;  // `rows` is the burn-in taken, 0 when none was suggested
  std::string setBy;          // the name of the column that set it; empty when none
  std::string line;           // "burn-in: 1,500 rows (suggested: MSER-5, set by tau, chain 2)"; empty when none
};

// The request for it: the suggestion from every quantity column, or from one column.
struct AutoBurnIn {
  std::string column;  // empty: every quantity column; otherwise a 1-based number or a column's name
  // Told what was taken (also when nothing was: the burn-in is then 0), before the retained rows
  // are checked; may be empty.
  std::function<void(const TakenBurnIn&)> taken;
};

// The text the command line gives it: "auto" or "auto:COLUMN".
std::string autoBurnInText(const AutoBurnIn& request);

// The suggestion over the chains' whole tables applied to every chain with `burnOut`: their
// retained rows replaced and checked as given ones are (`chainFiles` name the chains in the
// messages). A column that does not exist is an argument error naming it. When nothing gives a
// suggestion the burn-in is 0 and a warning says why.
std::optional<RunError> takeSuggestedBurnIn(const AutoBurnIn& request, const std::string& dataPath, long long burnOut,
                                            const TableLayout& layout, const std::vector<std::string>& chainFiles,
                                            std::vector<ChainRows>& chains, std::vector<std::string>& warnings);

}  // namespace varno
