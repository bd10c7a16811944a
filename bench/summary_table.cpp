// varno-report --summary of a 1,000,000-row trace (about 1 GB) against only reading it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include "core/data_file_reader.h"
#include "core/freed_buffer_reuse.h"
#include "report/summary_table.h"
#include "large_trace.h"
#include "tool_process.h"

namespace {

using Clock = std::chrono::steady_clock;

using varno::bench::LargeTrace;

std::string gData, gFactors;
double gReadSeconds = 0, gSummarySeconds = 0, gToolSeconds = 0, gBaselineSeconds = 0;

// --summary run by a build of the tool, in seconds; 0 when it failed.
double toolSummarySeconds(const std::string& program) {
  const auto start = Clock::now();
  if (varno::bench::runTool({gData, gFactors, "--interaction", "no", "--summary"}, program) < 0) return 0;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// This build's --summary against another's, named by VARNO_BASELINE_REPORT (the build before
// the Monte Carlo errors of the HPDI limits and the suggested burn-in were added), run in turns.
void BM_ToolAgainstBaseline(benchmark::State& state) {
  const char* baseline = std::getenv("VARNO_BASELINE_REPORT");
  if (!baseline) {
    state.SkipWithError("VARNO_BASELINE_REPORT names no varno-report to compare with");
    return;
  }
  double best = std::numeric_limits<double>::max(), bestBaseline = best;
  for (auto _ : state) {
    const double base = toolSummarySeconds(baseline), now = toolSummarySeconds(VARNO_BINARY_DIR "/varno-report");
    if (base <= 0 || now <= 0) state.SkipWithError("a run of the tool failed");
    bestBaseline = std::min(bestBaseline, base);
    best = std::min(best, now);
  }
  gToolSeconds = best;
  gBaselineSeconds = bestBaseline;
  state.counters["summary_over_baseline"] = best / bestBaseline;
}

void BM_ReadOnly(benchmark::State& state) { gReadSeconds = varno::bench::bestReadSeconds(state, gData); }

// The whole tool run: read, every column's figures and diagnostics on both cores, the text.
void BM_Summary(benchmark::State& state) {
  varno::SummaryTableOptions options;
  options.dataPath = gData;
  options.factorsPath = gFactors;
  options.interaction = false;
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = Clock::now();
    const varno::SummaryTableResult r = varno::runSummaryTable(options);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    if (!r.text) state.SkipWithError(r.error ? r.error->message.c_str() : "no table");
  }
  gSummarySeconds = best;
  if (gReadSeconds > 0) state.counters["summary_over_read"] = best / gReadSeconds;
}

}  // namespace

int main(int argc, char** argv) {
  // as varno-report runs: the read and the summary alike
  varno::keepFreedBuffersForReuse();
  benchmark::Initialize(&argc, argv);
  int status = 0;
  try {
    const LargeTrace trace("summary");
    gData = trace.data;
    gFactors = trace.factors;
    trace.generate();
    benchmark::RegisterBenchmark("read_only", BM_ReadOnly)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("summary", BM_Summary)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("tool_against_baseline", BM_ToolAgainstBaseline)
        ->Iterations(2)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gReadSeconds > 0 && gSummarySeconds > 0)
      std::printf("summary %.0f ms, read %.0f ms: summary/read = %.2f (target <= 5)\n", gSummarySeconds * 1e3,
                  gReadSeconds * 1e3, gSummarySeconds / gReadSeconds);
    if (gToolSeconds > 0 && gBaselineSeconds > 0)
      std::printf("varno-report --summary %.0f ms, baseline %.0f ms: new/baseline = %.2f (target <= 1.3)\n",
                  gToolSeconds * 1e3, gBaselineSeconds * 1e3, gToolSeconds / gBaselineSeconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  return status;
}
