// The results report: the fixed-layout text of the summary of an Fst analysis.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/analysis_state.h"
#include "core/summary_arrays.h"
#include "stats/chain_rows.h"

namespace varno {

// What the report reads. burnIn and burnOut are the integers already read from the data-range
// edits; the caller refuses a text that is not an integer before anything is written.
struct ReportInputs {
  int populationCount = 0;
  int factorCount = 0;
  bool hasInteraction = false;
  SummaryArrays fstSummary;                      // populationCount entries
  std::vector<std::vector<float>> factorValues;  // populationCount rows of at least factorCount
  std::array<double, kModelSlots> modelProbabilities{};  // counts of retained rows per model
  int bestModel = 0;
  SummaryArrays coefficientSummary;       // factorCount + 1 entries
  std::array<double, 4> sigmaSummary{};   // mean, mode, HPDI low, HPDI high
  int rowCount = 0;
  int burnIn = 0;
  int burnOut = 0;
};

// The inputs of the analysis open in `state` with the given data range.
ReportInputs reportInputsFrom(const AnalysisState& state, int burnIn, int burnOut);

// Several chains: the report's probabilities divide by the pooled retained rows, and the report
// names no data range of its own; one chain keeps its rows and range.
void countPooledRows(std::span<const ChainRows> chains, ReportInputs& in);

// What is missing for a report, or nothing when the inputs are complete: negative counts,
// factor counts without models, summary arrays or factor rows shorter than the counts.
std::optional<std::string> reportPrecondition(const ReportInputs& in);

// The whole report, "\n" line ends, the byte 0xB2 after "sigma". Model and inclusion
// probabilities are counts over R = rowCount - burnIn - burnOut; when R <= 0 there is no
// probability to speak of and they are written as 0. Returns an empty text when
// reportPrecondition finds something missing.
std::string buildResultsReport(const ReportInputs& in);

// The batch report's name: the data file name without its last four characters (the
// extension) followed by "_res.txt"; a name shorter than four characters is kept whole.
std::string batchReportName(const std::string& dataFileName);

}  // namespace varno
