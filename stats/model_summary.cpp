// The model and coefficient summary, its quantities summarised in parallel over a shared table.
#include "stats/model_summary.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <string_view>
#include <thread>

#include "core/model_numbering.h"
#include "core/parallel_for.h"
#include "core/text_pieces.h"
#include "stats/sample_summary.h"

namespace varno {

namespace {

constexpr double kLevel = 0.95;

// The rows a summary reads in one chain: a run of rows, or a list of row numbers.
struct ChainSelection {
  const SampleTable* table = nullptr;
  RowRange range;
  std::vector<int> list;
  bool listed = false;
  std::size_t size() const { return listed ? list.size() : static_cast<std::size_t>(range.count()); }
};

// The pooled rows: chain 1's, then chain 2's, and so on.
struct RowSelection {
  std::vector<ChainSelection> chains;
  std::size_t size() const {
    std::size_t n = 0;
    for (const ChainSelection& c : chains) n += c.size();
    return n;
  }
};

// The retained rows of each chain, never outside its table.
struct ChainSpan {
  const SampleTable* table = nullptr;
  RowRange rows;
};

RowSelection allRows(const std::vector<ChainSpan>& chains) {
  RowSelection selection;
  for (const ChainSpan& c : chains) selection.chains.push_back({c.table, c.rows, {}, false});
  return selection;
}

RowSelection rowsOfModel(const std::vector<ChainSpan>& chains, int modelColumn, int model) {
  RowSelection selection;
  for (const ChainSpan& c : chains) {
    ChainSelection chain{c.table, c.rows, {}, true};
    const std::span<const float> models = c.table->column(modelColumn);
    for (int i = c.rows.begin; i < c.rows.end; ++i) {
      if (static_cast<double>(models[static_cast<std::size_t>(i)]) == static_cast<double>(model)) {
        chain.list.push_back(i);
      }
    }
    selection.chains.push_back(std::move(chain));
  }
  return selection;
}

// One quantity to summarise: a column over a row selection, and the gauge position the
// algorithm shows once it is done.
struct Quantity {
  int column = 0;
  const RowSelection* rows = nullptr;
  int gauge = 0;
  PosteriorSummary summary;
};

void gather(const Quantity& q, std::vector<double>& scratch) {
  scratch.resize(q.rows->size());
  auto out = scratch.begin();
  for (const ChainSelection& rows : q.rows->chains) {
    const float* column = rows.table->columnData(q.column);
    if (rows.listed) {
      for (int i : rows.list) *out++ = column[i];
    } else {
      out = std::copy(column + rows.range.begin, column + rows.range.end, out);
    }
  }
}

// Runs the quantities on every core; the calling thread takes part and is the only one that
// reports, in the algorithm's order. A cancel ends the run with WorkCancelled.
class ParallelRun {
 public:
  ParallelRun(std::vector<Quantity>& quantities, Progress& progress)
      : quantities_(quantities), progress_(progress), done_(new std::atomic<bool>[quantities.size()]) {
    for (std::size_t i = 0; i < quantities.size(); ++i) done_[i].store(false);
  }

  void run() {
    const std::thread::id caller = std::this_thread::get_id();
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    parallelFor(quantities_.size(), static_cast<int>(cores), [&](std::size_t i) {
      progress_.stopIfCancelled();
      Quantity& q = quantities_[i];
      std::vector<double> scratch;
      gather(q, scratch);
      q.summary = SummarizeSample(std::span<double>(scratch), kLevel);
      done_[i].store(true, std::memory_order_release);
      if (std::this_thread::get_id() == caller) reportFinished();
    });
    progress_.stopIfCancelled();
    reportFinished();
  }

 private:
  // Moves the gauge to the position of every quantity whose predecessors are all done.
  void reportFinished() {
    while (reported_ < quantities_.size() && done_[reported_].load(std::memory_order_acquire)) {
      progress_.report(quantities_[reported_].gauge / 100.0);
      ++reported_;
    }
  }

  std::vector<Quantity>& quantities_;
  Progress& progress_;
  std::unique_ptr<std::atomic<bool>[]> done_;
  std::size_t reported_ = 0;  // touched by the calling thread only
};

void store(SummaryArrays& a, std::size_t i, const PosteriorSummary& s) {
  a.mean[i] = s.mean;
  a.mode[i] = s.mode;
  a.low[i] = s.hpdiLow;
  a.high[i] = s.hpdiHigh;
}

std::string inputError(const ModelSummaryInput& in) {
  if (in.chains.empty() || !in.chains.front().table) return "no sample table";
  const SampleTable& first = *in.chains.front().table;
  if (in.populationCount < 0) return "negative population count";
  if (in.factorCount < 0 || in.factorCount > kMaxFactors) return concat("factor count ", decimal(in.factorCount), " out of range");
  if (in.hasInteraction && in.factorCount != 3) return "the interaction needs 3 factors";
  const long long needed = in.layout().columnCount();
  if (first.columnCount() < needed)
    return concat("the table has ", decimal(first.columnCount()), " columns, ", decimal(needed), " needed");
  for (const ChainRows& chain : in.chains) {
    if (!chain.table) return "no sample table";
    if (chain.table->columnCount() != first.columnCount())
      return concat("a chain has ", decimal(chain.table->columnCount()), " columns, the first ",
                    decimal(first.columnCount()));
  }
  return {};
}

}  // namespace

// NaN and infinities are no model number either.
int countedModel(float value) {
  const double truncated = std::trunc(static_cast<double>(value));
  if (!(truncated >= 1 && truncated <= kModelSlots)) return 0;
  return static_cast<int>(truncated);
}

ModelSummaryResult computeModelSummary(const ModelSummaryInput& in, Progress& progress) {
  ModelSummaryResult result;
  result.fstSummary = in.fstSummary;
  result.coefficientSummary = in.coefficientSummary;
  result.sigmaSummary = in.sigmaSummary;
  result.error = inputError(in);
  if (!result.error.empty()) return result;

  const int P = in.populationCount;
  const int F = in.factorCount;
  const int D = P + F + 2;
  const TableLayout layout = in.layout();
  const int modelColumn = layout.modelColumn();
  std::vector<ChainSpan> chains;
  for (const ChainRows& chain : in.chains)
    chains.push_back({chain.table.get(),
                      RowRange{std::max(chain.rows.begin, 0), std::min(chain.rows.end, chain.table->rowCount())}});
  result.fstSummary.resize(static_cast<std::size_t>(P));
  result.coefficientSummary.resize(static_cast<std::size_t>(F) + 1);
  progress.report(0);

  // Model counts over all retained rows; values that are no model number are not counted.
  int N = 0;
  for (const ChainSpan& chain : chains) {
    const std::span<const float> models = chain.table->column(modelColumn);
    N += chain.rows.count();
    for (int i = chain.rows.begin; i < chain.rows.end; ++i) {
      const int m = countedModel(models[static_cast<std::size_t>(i)]);
      if (m > 0) result.modelProbabilities[static_cast<std::size_t>(m - 1)] += 1;
    }
  }
  result.retainedRows = N;
  auto share = [&](int model) {
    return N > 0 ? result.modelProbabilities[static_cast<std::size_t>(model - 1)] / N : 0.0;
  };
  const int chartModels = modelCount(F, in.hasInteraction);
  for (int m = 1; m <= chartModels; ++m) result.modelBars.push_back({static_cast<double>(m), share(m)});

  // With the interaction the scan covers the 8 slots of three factors, the chart only 5.
  const int scannedModels = 1 << F;
  int best = 0;
  for (int i = 1; i < scannedModels; ++i) {
    if (result.modelProbabilities[static_cast<std::size_t>(i)] > result.modelProbabilities[static_cast<std::size_t>(best)]) best = i;
  }
  result.bestModel = best + 1;

  // The quantities in the algorithm's order: constant, Sigma², factors of the best model
  // (highest first), then populations.
  const RowSelection bestRows = rowsOfModel(chains, modelColumn, result.bestModel);
  const RowSelection filterRows =
      in.modelFilter == 0 ? allRows(chains) : rowsOfModel(chains, modelColumn, in.modelFilter);
  const bool bestSummarised = bestRows.size() >= 2;
  result.bestModelSummarised = bestSummarised;
  const std::vector<int> bestFactors = factorsInModel(result.bestModel, F, in.hasInteraction);
  std::vector<Quantity> quantities;
  if (bestSummarised) {
    quantities.push_back({layout.coefficientColumn(0), &bestRows, 100 / D, {}});
    quantities.push_back({TableLayout::kSigmaColumn, &bestRows, 200 / D, {}});
    for (int f : bestFactors) {
      const int k = F - f;
      quantities.push_back({layout.coefficientColumn(f), &bestRows, (100 * k + 300) / D, {}});
    }
  }
  const std::size_t firstPopulation = quantities.size();
  if (filterRows.size() >= 2) {
    for (int p = 1; p <= P; ++p) quantities.push_back({layout.fstColumn(p), &filterRows, 100 * (F + p + 2) / D, {}});
  }

  ParallelRun(quantities, progress).run();

  if (bestSummarised) {
    store(result.coefficientSummary, 0, quantities[0].summary);
    const PosteriorSummary& sigma = quantities[1].summary;
    result.sigmaSummary = {sigma.mean, sigma.mode, sigma.hpdiLow, sigma.hpdiHigh};
    for (std::size_t j = 0; j < bestFactors.size(); ++j) {
      store(result.coefficientSummary, static_cast<std::size_t>(bestFactors[j]), quantities[2 + j].summary);
    }
  }
  for (int p = 1; p <= P; ++p) {
    const auto i = static_cast<std::size_t>(p - 1);
    if (quantities.size() == firstPopulation) {
      result.fstSummary.mean[i] = 0;  // marks a population with fewer than two rows
      continue;
    }
    const PosteriorSummary& s = quantities[firstPopulation + i].summary;
    store(result.fstSummary, i, s);
    const int slot = (p - 1) % 9;
    result.hpdis.push_back({concat("Fst", decimal(p)), s.hpdiLow, s.hpdiHigh, static_cast<double>(P + 2 - p), slot});
  }

  progress.report(1);
  return result;
}

}  // namespace varno
