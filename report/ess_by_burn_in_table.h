// The tool's table of ESS against burn-in for one column.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/progress.h"
#include "report/unattended_run.h"
#include "stats/ess_by_burn_in.h"

namespace varno {

// tsv: "burn_in ess_bulk ess_tail", one line per candidate burn-in, NA where undefined.
std::string formatEssByBurnIn(const std::vector<EssAtBurnIn>& rows);

struct EssByBurnInResult {
  std::optional<std::string> text;  // set on success
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The analysis opened as for the column's Statistics box, then the ESS of its column against
// burn-in (essByBurnIn, with the request's burn-out and model). A column the diagnostics do not
// look at (the counter, the Model column) is refused.
EssByBurnInResult runEssByBurnIn(const ColumnStatisticsOptions& options, Progress& progress = Progress::unwatched());

}  // namespace varno
