// The suggested burn-in (MSER-5) of every column of the 1 GB trace of 1,000,000 rows x 107
// columns against reading that trace.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/data_file_reader.h"
#include "large_trace.h"
#include "stats/burn_in_suggestion.h"
#include "stats/mser_burn_in.h"

namespace {

using Clock = std::chrono::steady_clock;
using varno::bench::LargeTrace;

std::string gData;
std::shared_ptr<varno::SampleTable> gTable;
double gReadSeconds = 0, gMserSeconds = 0, gSuggestSeconds = 0;

void BM_ReadOnly(benchmark::State& state) {
  gReadSeconds = varno::bench::bestReadSeconds(state, gData);
  gTable = varno::readDataFile(gData).table;  // the columns the next benchmark scans
}

// Every column of one chain from its first row, on one core.
void BM_MserEveryColumn(benchmark::State& state) {
  if (!gTable) {
    state.SkipWithError("no table");
    return;
  }
  double best = std::numeric_limits<double>::max();
  std::int64_t suggested = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    std::vector<varno::ColumnChainBurnIn> results;
    for (int c = 0; c < gTable->columnCount(); ++c) results.push_back({c, 0, varno::mserBurnIn(gTable->column(c))});
    const varno::AnalysisBurnIn analysis = varno::analysisBurnIn(results);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    suggested = analysis.rows;
    benchmark::DoNotOptimize(suggested);
  }
  gMserSeconds = best;
  state.counters["suggested_rows"] = static_cast<double>(suggested);
  if (gReadSeconds > 0) state.counters["mser_over_read"] = best / gReadSeconds;
}

// The analysis's suggestion as the window and the tool compute it: every quantity column (the
// coefficients over their models' rows) on both cores.
void BM_SuggestBurnIn(benchmark::State& state) {
  if (!gTable) {
    state.SkipWithError("no table");
    return;
  }
  const std::vector<varno::ChainRows> chains{{gTable, {0, gTable->rowCount()}}};
  const varno::TableLayout layout = varno::TableLayout::fst(gTable->columnCount(), {LargeTrace::kFactors, false});
  double best = std::numeric_limits<double>::max();
  std::int64_t suggested = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const varno::BurnInSuggestion s = varno::suggestBurnIn(chains, layout, {}, 2);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    suggested = s.analysis.rows;
    benchmark::DoNotOptimize(suggested);
  }
  gSuggestSeconds = best;
  state.counters["suggested_rows"] = static_cast<double>(suggested);
  if (gReadSeconds > 0) state.counters["suggest_over_read"] = best / gReadSeconds;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int status = 0;
  try {
    const LargeTrace trace("mser");
    gData = trace.data;
    trace.generate();
    benchmark::RegisterBenchmark("read_only", BM_ReadOnly)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("mser_every_column", BM_MserEveryColumn)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("suggest_burn_in", BM_SuggestBurnIn)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gReadSeconds > 0 && gMserSeconds > 0)
      std::printf("MSER-5 of every column %.0f ms, read %.0f ms: mser/read = %.3f (target <= 1)\n", gMserSeconds * 1e3,
                  gReadSeconds * 1e3, gMserSeconds / gReadSeconds);
    if (gReadSeconds > 0 && gSuggestSeconds > 0)
      std::printf("suggested burn-in of the analysis %.0f ms: suggest/read = %.3f (target <= 1)\n",
                  gSuggestSeconds * 1e3, gSuggestSeconds / gReadSeconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  return status;
}
