// The headless tool's outputs about the chains of one analysis: the chains table and the export
// of the retained draws.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/chains_table.h"
#include "report/unattended_run.h"
#include "stats/diagnostic_draws.h"

namespace varno {

struct ChainsTableOptions : AnalysisRequest {
  SummaryFormat format = SummaryFormat::tsv;
};

struct ChainsTableResult {
  std::optional<std::string> text;  // set on success
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The chains side by side of an .fst data file (other kinds are refused), formatted.
ChainsTableResult runChainsTable(const ChainsTableOptions& options, Progress& progress = Progress::unwatched());

struct DrawsExportOptions : AnalysisRequest {
  std::string outputPath;
  int thin = 1;
};

struct DrawsExportResult {
  long long draws = 0;  // draws written, on success
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The retained draws of the data file written to options.outputPath; a path that is the data or
// factors file (under any name) is refused as an argument error before anything is read.
DrawsExportResult runDrawsExport(const DrawsExportOptions& options, Progress& progress = Progress::unwatched());

}  // namespace varno
