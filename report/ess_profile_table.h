// The tool's table of a column's ESS by quantile, by small interval and over the run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/unattended_run.h"
#include "stats/ess_profile.h"

namespace varno {

// tsv "kind x ess": kind quantile (x the probability), local (x the middle of the interval of
// probabilities), run_bulk and run_tail (x the draws of each chain); NA where undefined.
std::string formatEssProfile(const EssProfile& profile);

struct EssProfileResult {
  std::optional<std::string> text;  // set on success
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The analysis opened as for the column's Statistics box, then the ESS profile of its column
// over the chains its diagnostics use. A column the diagnostics do not look at (the counter, the
// Model column) is refused.
EssProfileResult runEssProfile(const ColumnStatisticsOptions& options);

}  // namespace varno
