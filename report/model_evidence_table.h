// The headless tool's tables of the models and of the evidence for each factor.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/summary_table.h"
#include "report/unattended_run.h"
#include "stats/inclusion_evidence.h"

namespace varno {

// The headers of the two tables, in order.
const std::vector<std::string>& modelTableHeader();
const std::vector<std::string>& factorTableHeader();

// tsv and csv: the models table with its header row, one empty line, the factors table with its
// header row. json: {"models": [...], "factors": [...]}. Numbers as in the summary table.
std::string formatModelEvidence(const InclusionEvidence& evidence, SummaryFormat format);

struct ModelEvidenceOptions : AnalysisRequest {
  SummaryFormat format = SummaryFormat::tsv;
  std::optional<std::string> modelPrior;  // "w1,w2,...": one weight per model
};

struct ModelEvidenceResult {
  std::optional<std::string> text;  // set on success
  std::vector<std::string> warnings;
  std::optional<RunError> error;
};

// The .fst data file read with its factors file, then the models and factors over the retained
// rows, formatted.
// Refused before anything is read: a data file that is not an .fst trace.
std::optional<RunError> modelsDataRefused(const ModelEvidenceOptions& options);

// The tables of an analysis opened from `options`, over its chains' retained rows.
std::optional<RunError> modelEvidenceText(const OpenedAnalysis& analysis, const ModelEvidenceOptions& options,
                                          std::string& text);

ModelEvidenceResult runModelEvidence(const ModelEvidenceOptions& options, Progress& progress = Progress::unwatched());

}  // namespace varno
