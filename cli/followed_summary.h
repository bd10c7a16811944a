// varno-report --summary --follow (or --models --follow): the table printed again each time a
// running sampler's files grew, until a signal, the target confirmed, or no growth for too long.
#pragma once

#include <functional>

#include "cli/follow_options.h"
#include "report/model_evidence_table.h"
#include "report/summary_table.h"

namespace varno {

// The exit status of following: 0 after a stop signal or the target confirmed, 3 when --idle gave
// up, otherwise what `failure` returns for the fault that ended it (it says the fault).
int followSummary(const SummaryTableOptions& options, const FollowOptions& follow,
                  const std::function<int(const RunError&)>& failure);
// The same with the tables of the models and factors (no --until: its target is the summary's).
int followModels(const ModelEvidenceOptions& options, const FollowOptions& follow,
                 const std::function<int(const RunError&)>& failure);

}  // namespace varno
