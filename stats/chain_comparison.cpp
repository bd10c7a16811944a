// The chains side by side: model and inclusion probabilities, indicator R-hat and Fst HPDIs.
#include "stats/chain_comparison.h"

#include <algorithm>
#include <atomic>

#include "core/model_numbering.h"
#include "core/parallel_for.h"
#include "core/text_pieces.h"
#include "stats/column_sample.h"
#include "stats/convergence_diagnostics.h"
#include "stats/model_summary.h"
#include "stats/sample_summary.h"

namespace varno {

namespace {

constexpr double kLevel = 0.95;

std::string layoutError(std::span<const ChainRows> chains, const TableLayout& layout) {
  if (layout.kind != FileKind::fst) return "no fst layout";
  if (layout.populationCount < 0) return "negative population count";
  if (layout.factorCount < 0 || layout.factorCount > kMaxFactors)
    return concat("factor count ", decimal(layout.factorCount), " out of range");
  if (layout.hasInteraction && layout.factorCount != 3) return "the interaction needs 3 factors";
  const long long needed = layout.columnsThroughModel();
  for (std::size_t c = 0; c < chains.size(); ++c) {
    if (!chains[c].table) return concat("chain ", decimal(static_cast<long long>(c) + 1), " has no table");
    if (chains[c].table->columnCount() < needed)
      return concat("chain ", decimal(static_cast<long long>(c) + 1), " has ", decimal(chains[c].table->columnCount()),
                    " columns, ", decimal(needed), " needed");
  }
  return {};
}

RowRange clippedRows(const ChainRows& chain) {
  return {std::max(chain.rows.begin, 0), std::min(chain.rows.end, chain.table->rowCount())};
}

// The first `length` entries of one indicator per chain, as the R-hat reads them.
class Indicators {
 public:
  Indicators(std::size_t chains, std::size_t length) : draws_(chains, std::vector<double>(length)) {}
  std::vector<double>& chain(std::size_t c) { return draws_[c]; }

  std::optional<double> rhat() const {
    std::vector<std::span<const double>> spans(draws_.begin(), draws_.end());
    return varno::rhat(ChainDraws(spans));
  }

  // Each half of each chain (as R-hat splits them) is constant while the halves differ: the
  // between-chain variance over no within-chain variance, an infinite R-hat the estimator
  // leaves undefined.
  bool halvesApart() const {
    if (draws_.empty() || draws_[0].size() < 2) return false;
    const std::size_t n = draws_[0].size();
    const std::size_t half = n / 2;
    bool seenZero = false, seenOne = false;
    for (const auto& chain : draws_) {
      for (std::size_t start : {std::size_t{0}, n - half}) {
        const double first = chain[start];
        for (std::size_t i = start; i < start + half; ++i)
          if (chain[i] != first) return false;
        (first != 0 ? seenOne : seenZero) = true;
      }
    }
    return seenZero && seenOne;
  }

 private:
  std::vector<std::vector<double>> draws_;
};

std::optional<double> share(double count, int rows) {
  if (rows <= 0) return std::nullopt;
  return count / rows;
}

// One probability row per model or factor: counts per chain of the rows `holds` accepts.
template <class Holds>
ChainComparisonRow probabilityRow(const std::vector<std::vector<int>>& models, std::size_t length, Holds holds) {
  ChainComparisonRow row;
  Indicators indicators(models.size(), length);
  double pooledCount = 0;
  int pooledRows = 0;
  for (std::size_t c = 0; c < models.size(); ++c) {
    double count = 0;
    for (int m : models[c]) count += holds(m) ? 1 : 0;
    row.chains.push_back(share(count, static_cast<int>(models[c].size())));
    pooledCount += count;
    pooledRows += static_cast<int>(models[c].size());
    std::vector<double>& indicator = indicators.chain(c);
    for (std::size_t i = 0; i < length; ++i) indicator[i] = holds(models[c][i]) ? 1 : 0;
  }
  row.pooled = share(pooledCount, pooledRows);
  if (length > 0) row.rhat = indicators.rhat();
  row.disagrees = row.rhat ? *row.rhat > kChainRhatLimit : indicators.halvesApart();
  return row;
}

struct FstFigures {
  std::vector<PosteriorSummary> chains;
  std::vector<bool> summarised;  // at least two draws
  PosteriorSummary pooled;
  bool pooledSummarised = false;
};

FstFigures fstFigures(std::span<const ChainRows> chains, const TableLayout& layout, int modelFilter, int population) {
  FstFigures figures;
  const int column = layout.fstColumn(population);
  const int modelColumn = layout.modelColumn();
  std::vector<double> pooled;
  for (const ChainRows& chain : chains) {
    std::vector<double> draws = gatherColumnSample(*chain.table, column, clippedRows(chain), modelFilter, modelColumn);
    pooled.insert(pooled.end(), draws.begin(), draws.end());
    figures.summarised.push_back(draws.size() >= 2);
    figures.chains.push_back(draws.size() >= 2 ? SummarizeSample(draws, kLevel) : PosteriorSummary{});
  }
  figures.pooledSummarised = pooled.size() >= 2;
  if (figures.pooledSummarised) figures.pooled = SummarizeSample(pooled, kLevel);
  return figures;
}

// Some two chains' HPD intervals are apart: on a line, intervals that overlap pairwise share a
// point, so it is enough that the highest low lies above the lowest high.
bool intervalsApart(const FstFigures& f) {
  bool any = false;
  double highestLow = 0, lowestHigh = 0;
  for (std::size_t c = 0; c < f.chains.size(); ++c) {
    if (!f.summarised[c]) continue;
    highestLow = any ? std::max(highestLow, f.chains[c].hpdiLow) : f.chains[c].hpdiLow;
    lowestHigh = any ? std::min(lowestHigh, f.chains[c].hpdiHigh) : f.chains[c].hpdiHigh;
    any = true;
  }
  return any && highestLow > lowestHigh;
}

void addFstRows(const FstFigures& f, int population, std::vector<ChainComparisonRow>& rows) {
  const bool apart = intervalsApart(f);
  struct Part {
    ChainQuantity quantity;
    const char* suffix;
    double PosteriorSummary::*field;
  };
  static const Part parts[] = {{ChainQuantity::fstMean, " mean", &PosteriorSummary::mean},
                               {ChainQuantity::fstHpdiLow, " HPDI low", &PosteriorSummary::hpdiLow},
                               {ChainQuantity::fstHpdiHigh, " HPDI high", &PosteriorSummary::hpdiHigh}};
  for (const Part& part : parts) {
    ChainComparisonRow row;
    row.quantity = part.quantity;
    row.number = population;
    row.name = concat("Fst pop ", decimal(population), part.suffix);
    for (std::size_t c = 0; c < f.chains.size(); ++c) {
      row.chains.push_back(f.summarised[c] ? std::optional<double>(f.chains[c].*part.field) : std::nullopt);
    }
    if (f.pooledSummarised) row.pooled = f.pooled.*part.field;
    row.disagrees = apart;
    rows.push_back(std::move(row));
  }
}

}  // namespace

ChainComparison compareChains(std::span<const ChainRows> chains, const TableLayout& layout, int modelFilter,
                              int threads, Progress& progress) {
  ChainComparison result;
  result.chainCount = static_cast<int>(chains.size());
  result.error = layoutError(chains, layout);
  if (!result.error.empty() || chains.empty()) return result;

  const int P = layout.populationCount;
  const int F = layout.factorCount;
  const int modelColumn = layout.modelColumn();
  std::vector<std::vector<int>> models(chains.size());
  std::size_t length = SIZE_MAX;
  for (std::size_t c = 0; c < chains.size(); ++c) {
    const RowRange rows = clippedRows(chains[c]);
    const std::span<const float> cells = chains[c].table->column(modelColumn);
    for (int i = rows.begin; i < rows.end; ++i) models[c].push_back(countedModel(cells[static_cast<std::size_t>(i)]));
    length = std::min(length, models[c].size());
  }

  const int M = modelCount(F, layout.hasInteraction);
  for (int m = 1; m <= M; ++m) {
    ChainComparisonRow row = probabilityRow(models, length, [m](int model) { return model == m; });
    row.quantity = ChainQuantity::model;
    row.number = m;
    row.name = concat("P(model=", decimal(m), ")");
    result.rows.push_back(std::move(row));
  }
  // Inclusion counts the rows of the listed models that hold the factor, as the report sums them.
  std::vector<std::vector<char>> held(static_cast<std::size_t>(F) + 1, std::vector<char>(static_cast<std::size_t>(M) + 1));
  for (int m = 1; m <= M; ++m)
    for (int f : factorsInModel(m, F, layout.hasInteraction)) held[static_cast<std::size_t>(f)][static_cast<std::size_t>(m)] = 1;
  for (int f = 1; f <= F; ++f) {
    const std::vector<char>& holds = held[static_cast<std::size_t>(f)];
    ChainComparisonRow row = probabilityRow(models, length, [&](int model) {
      return model >= 1 && model <= M && holds[static_cast<std::size_t>(model)] != 0;
    });
    row.quantity = ChainQuantity::factor;
    row.number = f;
    row.name = concat("P(", factorName(f, layout.hasInteraction), ")");
    result.rows.push_back(std::move(row));
  }

  std::vector<FstFigures> fst(static_cast<std::size_t>(P));
  std::atomic<std::size_t> done{0};
  parallelFor(fst.size(), std::max(threads, 1), [&](std::size_t p) {
    progress.stopIfCancelled();
    fst[p] = fstFigures(chains, layout, modelFilter, static_cast<int>(p) + 1);
    progress.report(static_cast<double>(++done) / static_cast<double>(fst.size()));
  });
  progress.stopIfCancelled();
  progress.report(1);
  for (int p = 1; p <= P; ++p) addFstRows(fst[static_cast<std::size_t>(p - 1)], p, result.rows);
  return result;
}

}  // namespace varno
