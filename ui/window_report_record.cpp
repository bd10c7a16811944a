// The window's report record: the factor decision the user made in dialogs, said as varno-report
// arguments.
#include "ui/window_report_record.h"

#include "core/analysis_state.h"

namespace varno {

std::optional<ProvenanceRecord> windowReportRecord(const AnalysisState& state, long long burnIn, long long burnOut,
                                                   const std::string& reportPath, std::string* why) {
  ReportRun run;
  run.program = "varno-plot";
  run.options.dataPath = state.dataFileName;
  run.options.factorsPath = state.factorFileName;
  if (state.factorMode != -1) {
    run.options.factorMode = state.factorMode;
  } else if (state.factorCount == 0) {
    // "no factors" answered in a dialog, whatever lines the factors file has: a mode saying none
    run.options.factorMode = 2;
  }
  // a count taken from a factors file of two lines came with the user's answer about the interaction
  if (state.factorMode == -1 && (state.factorCount == 2 || state.hasInteraction))
    run.options.interaction = state.hasInteraction;
  run.options.burnIn = burnIn;
  run.options.burnOut = burnOut;
  run.reportPath = reportPath;
  run.rowCount = 0;
  for (const auto& table : state.chainTables()) run.rowCount += table ? table->rowCount() : 0;
  // the chains after the data file's own (or its index's first)
  for (std::size_t c = 1; c < state.chains.size(); ++c) run.options.chainPaths.push_back(state.chains[c].fileName);
  run.decision = {state.factorCount, state.hasInteraction};
  run.options.modelFilter = state.modelFilter;
  return reportRecord(run, why);
}

}  // namespace varno
