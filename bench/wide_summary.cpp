// varno-report --summary of wide, short traces against only reading them: an allele-frequency
// trace of a genome scan (10,000 loci, 35,023 columns x 1,000 rows) and a table of 2,000 columns
// x 4,000 rows. Most of a short column's cost is fixed, so these measure the per-column costs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include "bench_folder.h"
#include "core/data_file_reader.h"
#include "core/freed_buffer_reuse.h"
#include "process_time.h"
#include "report/summary_table.h"
#include "tools/trace_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

struct WideTrace {
  const char* label = "";
  std::string path;
  int columns = 0;
  long long rows = 0;
  double readSeconds = 0, readCpu = 0;
  double summarySeconds = 0, summaryCpu = 0;
};

WideTrace gFrq, gTable;

// Best wall time over the iterations, with the processor time of that same run.
template <class Run>
void timeBest(benchmark::State& state, double& seconds, double& cpu, Run run) {
  seconds = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const double cpuStart = varno::bench::cpuSeconds();
    const auto start = Clock::now();
    if (!run()) {
      state.SkipWithError("the trace was not read whole");
      return;
    }
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (wall < seconds) {
      seconds = wall;
      cpu = varno::bench::cpuSeconds() - cpuStart;
    }
  }
}

void BM_Read(benchmark::State& state, WideTrace* trace) {
  timeBest(state, trace->readSeconds, trace->readCpu, [&] {
    const varno::DataFileReadResult r = varno::readDataFile(trace->path);
    return r.table && r.table->rowCount() == trace->rows && r.table->columnCount() == trace->columns;
  });
}

// The whole tool run: read, every column's figures and diagnostics, the text.
void BM_Summary(benchmark::State& state, WideTrace* trace) {
  varno::SummaryTableOptions options;
  options.dataPath = trace->path;
  timeBest(state, trace->summarySeconds, trace->summaryCpu,
           [&] { return varno::runSummaryTable(options).text.has_value(); });
  if (trace->readSeconds > 0) state.counters["summary_over_read"] = trace->summarySeconds / trace->readSeconds;
  state.counters["ms_per_column"] = trace->summarySeconds * 1e3 / trace->columns;
}

void report(const WideTrace& t, const char* target) {
  if (t.readSeconds <= 0 || t.summarySeconds <= 0) return;
  std::printf("%s (%d columns x %lld rows): summary %.0f ms (processor %.0f ms), read %.0f ms (processor %.0f ms): "
              "summary/read = %.2f wall, %.2f processor%s\n",
              t.label, t.columns, t.rows, t.summarySeconds * 1e3, t.summaryCpu * 1e3, t.readSeconds * 1e3,
              t.readCpu * 1e3, t.summarySeconds / t.readSeconds, t.summaryCpu / t.readCpu, target);
}

// Writes both traces, runs the benchmarks and prints the ratios.
void measure() {
  const varno::bench::BenchFolder folder("wide");
  // 10,000 loci of two or three alleles: with this seed, 35,023 columns (iteration, then per
  // locus its allele count and frequencies).
  gFrq = {"frq", folder.path("scan.frq"), 35023, 1000};
  varno::writeFrqFile(varno::FrqSpec{gFrq.rows, 10000, 3, 3}, gFrq.path);
  gTable = {"table", folder.path("wide.txt"), 2000, 4000};
  varno::writeMlFile(varno::MlSpec{gTable.rows, gTable.columns, 1}, gTable.path);
  for (WideTrace* t : {&gFrq, &gTable}) {
    std::printf("generated %s: %.1f MB, %d columns x %lld rows\n", t->path.c_str(),
                static_cast<double>(std::filesystem::file_size(t->path)) / 1e6, t->columns, t->rows);
    benchmark::RegisterBenchmark((std::string("read_") + t->label).c_str(), BM_Read, t)
        ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark((std::string("summary_") + t->label).c_str(), BM_Summary, t)
        ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  report(gFrq, " (target <= 3)");
  report(gTable, "");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // the read and the summary with freed buffers kept, as in varno-report
  varno::keepFreedBuffersForReuse();
  try {
    measure();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
