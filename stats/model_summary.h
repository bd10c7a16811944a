// The model and coefficient summary of an Fst trace: model probabilities, best model, HPDIs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/model_numbering.h"
#include "core/progress.h"
#include "core/sample_table.h"
#include "core/summary_arrays.h"
#include "core/table_layout.h"
#include "stats/chain_rows.h"
#include "stats/row_range.h"

namespace varno {

struct ModelSummaryInput {
  int populationCount = 0;
  int factorCount = 0;
  bool hasInteraction = false;
  // Every chain with its retained rows, pooled in order (chain 1's rows, then chain 2's, ...);
  // every chain has the columns of chain 1.
  std::vector<ChainRows> chains;
  int modelFilter = 0;  // 0: all rows for the Fst summaries; m: only the rows of model m
  // Results of the previous run: entries this run does not write keep these values.
  SummaryArrays fstSummary;
  SummaryArrays coefficientSummary;
  std::array<double, 4> sigmaSummary{};

  TableLayout layout() const { return {FileKind::fst, populationCount, factorCount, hasInteraction}; }
};

struct ModelBar {
  double x = 0;
  double height = 0;
};

// One population's HPDI, drawn as a horizontal interval at height y.
struct HpdiInterval {
  std::string label;  // "Fst" and the population number
  double low = 0;
  double high = 0;
  double y = 0;
  int colourSlot = 0;  // population p takes slot (p - 1) mod 9; the chart gives each slot its colour
};

struct ModelSummaryResult {
  std::array<double, kModelSlots> modelProbabilities{};  // retained rows counted per model
  int retainedRows = 0;  // every retained row, a model number or not: a model's share is counted / this
  int bestModel = 1;
  bool bestModelSummarised = false;  // the best model had the two rows its coefficients and Sigma² need
  SummaryArrays coefficientSummary;      // factorCount + 1 entries
  std::array<double, 4> sigmaSummary{};  // mean, mode, HPDI low, HPDI high
  SummaryArrays fstSummary;              // populationCount entries
  std::vector<ModelBar> modelBars;
  std::vector<HpdiInterval> hpdis;
  std::string error;       // set when the table does not have the columns the counts name
};

// The model a stored model number counts for (truncated toward zero), or 0 when it is outside
// the model slots.
int countedModel(float value);

// Summarises the retained rows of `input.chains`. `progress` is moved, from the calling thread,
// through the gauge positions of the summaries as they end, to 1; a cancel ends the run with
// WorkCancelled between two summaries. The summaries run on all cores, each over a scratch copy
// of its column.
ModelSummaryResult computeModelSummary(const ModelSummaryInput& input, Progress& progress = Progress::unwatched());

}  // namespace varno
