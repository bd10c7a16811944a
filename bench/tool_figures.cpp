// varno-report on the 1 GB example: the report alone against the report and its five figures as
// PNG at 2x, both through the program as a pipeline runs it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "large_trace.h"
#include "tool_process.h"

namespace {

using varno::bench::runTool;
using Clock = std::chrono::steady_clock;

std::string gData, gFactors, gReport, gFigures;
double gReportSeconds = 0;
double gFiguresSeconds = 0;

std::vector<std::string> reportArguments() { return {gData, gFactors, "--interaction", "no", "--output", gReport}; }

void measure(benchmark::State& state, const std::vector<std::string>& args, double& bestSeconds) {
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = Clock::now();
    if (runTool(args) < 0) {
      state.SkipWithError("varno-report failed");
      return;
    }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  bestSeconds = best;
}

void BM_ReportAlone(benchmark::State& state) { measure(state, reportArguments(), gReportSeconds); }

void BM_ReportAndFigures(benchmark::State& state) {
  std::vector<std::string> args = reportArguments();
  args.insert(args.end(), {"--figures", gFigures, "--figure-format", "png", "--figure-scale", "2"});
  measure(state, args, gFiguresSeconds);
  if (gReportSeconds > 0 && gFiguresSeconds > 0) state.counters["figures_over_report"] = gFiguresSeconds / gReportSeconds;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int exitStatus = 0;
  try {
    const varno::bench::LargeTrace trace("figures");
    gData = trace.data;
    gFactors = trace.factors;
    gReport = trace.dir + "/trace_res.txt";
    gFigures = trace.dir + "/figures";
    trace.generate();

    benchmark::RegisterBenchmark("report_alone", BM_ReportAlone)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("report_and_five_png_figures_2x", BM_ReportAndFigures)
        ->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (gReportSeconds > 0 && gFiguresSeconds > 0)
      std::printf("report and figures %.0f ms, report alone %.0f ms: ratio %.2f (target <= 1.3)\n",
                  gFiguresSeconds * 1e3, gReportSeconds * 1e3, gFiguresSeconds / gReportSeconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    exitStatus = 1;
  }
  return exitStatus;
}
