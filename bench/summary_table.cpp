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

namespace {

using Clock = std::chrono::steady_clock;

using varno::bench::LargeTrace;

std::string gData, gFactors;
double gReadSeconds = 0, gSummarySeconds = 0;

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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (gReadSeconds > 0 && gSummarySeconds > 0)
      std::printf("summary %.0f ms, read %.0f ms: summary/read = %.2f (target <= 5)\n", gSummarySeconds * 1e3,
                  gReadSeconds * 1e3, gSummarySeconds / gReadSeconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    status = 1;
  }
  return status;
}
