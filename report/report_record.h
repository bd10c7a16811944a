// The record of a results report: what provenanceJson needs, gathered from the run's options.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/provenance_record.h"
#include "report/unattended_run.h"

namespace varno {

// The varno-report command that writes the same report: absolute paths, MODE and --interaction
// as given, burn-in, burn-out and the model when not 0, the further chains, and --output naming
// the report.
std::vector<std::string> reportCommandWords(const UnattendedOptions& options, const std::string& reportPath);

struct ReportRun {
  std::string program;  // "varno-report" or "varno-plot"
  UnattendedOptions options;
  std::string reportPath;
  long long rowCount = 0;  // of every chain together
  FactorDecision decision;
  std::optional<TakenBurnIn> burnInTaken;  // when options.autoBurnIn: what it took
  std::vector<long long> chainBurnIns;     // when options.burnInShare: the rows it gave each chain
};

// The record of the report, with the data and factors files digested now; nothing, and `why`,
// when one of them cannot be read. Its command is left empty where varno-report cannot make the
// same report: without a factors file.
std::optional<ProvenanceRecord> reportRecord(const ReportRun& run, std::string* why);

}  // namespace varno
