// The convergence target on one row of the diagnostics: which of its figures miss it, and why in words.
#pragma once

#include "report/convergence_target.h"
#include "stats/convergence_marks.h"

namespace varno {

// The reason for each bound `miss` misses, naming the figure and the bound of `evaluation`; nothing
// for a bound it meets. `chains` (of the analysis) words the reason R-hat gives.
ConvergenceMarks targetMarks(const TargetMiss& miss, const ConvergenceDiagnostics& diagnostics,
                             const TargetEvaluation& evaluation, int chains);

}  // namespace varno
