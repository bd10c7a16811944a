// The record of a results report.
#include "report/report_record.h"

#include "report/burn_in_texts.h"
#include "report/json_text.h"
#include "report/program_version.h"

namespace varno {

std::vector<std::string> reportCommandWords(const UnattendedOptions& options, const std::string& reportPath) {
  std::vector<std::string> words = {"varno-report", absolutePath(options.dataPath), absolutePath(options.factorsPath)};
  if (options.factorMode) words.push_back(jsonNumber(*options.factorMode));
  if (options.interaction) {
    words.push_back("--interaction");
    words.push_back(*options.interaction ? "yes" : "no");
  }
  if (options.autoBurnIn) {
    words.push_back("--burn-in");
    words.push_back(autoBurnInText(*options.autoBurnIn));
  } else if (options.burnInShare) {
    words.push_back("--burn-in");
    words.push_back(options.burnInShare->text);
  } else if (options.burnIn != 0) {
    words.push_back("--burn-in");
    words.push_back(jsonNumber(options.burnIn));
  }
  if (options.burnOut != 0) {
    words.push_back("--burn-out");
    words.push_back(jsonNumber(options.burnOut));
  }
  for (const std::string& chain : options.chainPaths) {
    words.push_back("--chain");
    words.push_back(absolutePath(chain));
  }
  if (options.modelFilter != 0) {
    words.push_back("--model");
    words.push_back(jsonNumber(options.modelFilter));
  }
  words.push_back("--output");
  words.push_back(absolutePath(reportPath));
  return words;
}

std::optional<ProvenanceRecord> reportRecord(const ReportRun& run, std::string* why) {
  ProvenanceRecord record;
  record.program = run.program;
  record.version = kProgramVersion;
  std::vector<std::pair<std::string, std::string>> inputs{{"data", run.options.dataPath},
                                                          {"factors", run.options.factorsPath}};
  for (const std::string& chain : run.options.chainPaths) inputs.push_back({"chain", chain});
  for (const auto& [role, path] : inputs) {
    if (path.empty()) continue;
    std::optional<RecordedInput> input = recordedInput(role, path, why);
    if (!input) return std::nullopt;
    record.inputs.push_back(std::move(*input));
  }
  record.chains = 1 + static_cast<int>(run.options.chainPaths.size());
  record.rowCount = run.rowCount;
  record.burnIn = run.options.burnIn;
  if (run.burnInTaken) {
    const AnalysisBurnIn& taken = run.burnInTaken->suggestion;
    record.burnIn = taken.rows;
    record.burnInRule = ProvenanceRecord::BurnInRule{kSuggestedBurnInRule, {}, {}, {}};
    if (taken.suggested) {
      record.burnInRule->column = taken.column + 1;
      record.burnInRule->chain = taken.chain + 1;
      record.burnInRule->columnName = run.burnInTaken->setBy;
    }
  }
  if (run.options.burnInShare) {
    record.chainBurnIns = run.chainBurnIns;
    record.burnIn = run.chainBurnIns.empty() ? 0 : run.chainBurnIns.front();
    record.burnInRule = ProvenanceRecord::BurnInRule{run.options.burnInShare->text + " of each chain's rows", {}, {}, {}};
  }
  record.burnOut = run.options.burnOut;
  record.modelFilter = run.options.modelFilter;
  record.factorMode = run.options.factorMode.value_or(-1);
  record.decision = run.decision;
  record.levelPercent = 95;  // the report's HPDIs
  record.outputs.push_back(absolutePath(run.reportPath));
  // varno-report makes reports with a factors file only
  if (!run.options.factorsPath.empty())
    record.command = reportCommandWords(run.options, run.reportPath);
  return record;
}

}  // namespace varno
