// One window opening files of every kind 1,000 times: time per open and peak memory after 100 and 1,000 opens.
#include "process_memory.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/ui/soak_cycle.h"

namespace {

void BM_WindowSoak(benchmark::State& state) {
  const int cycles = static_cast<int>(state.range(0));
  const int early = cycles / 10;
  long long peakEarly = 0, rssEarly = 0;
  int failures = 0;
  for (auto _ : state) {
    varno::testing::SoakRun run;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < cycles; ++i) {
      if (!run.cycle(i)) ++failures;
      if (i + 1 == early) {
        peakEarly = varno::bench::statusKilobytes("VmHWM:");
        rssEarly = varno::bench::statusKilobytes("VmRSS:");
      }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["ms_per_open"] = seconds * 1000 / cycles;
  }
  const long long peakEnd = varno::bench::statusKilobytes("VmHWM:");
  const long long rssEnd = varno::bench::statusKilobytes("VmRSS:");
  state.counters["peak_MB_after_" + std::to_string(early)] = peakEarly / 1024.0;
  state.counters["peak_MB_after_" + std::to_string(cycles)] = peakEnd / 1024.0;
  state.counters["rss_MB_after_" + std::to_string(early)] = rssEarly / 1024.0;
  state.counters["rss_MB_after_" + std::to_string(cycles)] = rssEnd / 1024.0;
  state.counters["peak_growth_MB"] = (peakEnd - peakEarly) / 1024.0;
  state.counters["failed_opens"] = failures;
  if (failures) state.SkipWithError("some opens did not leave the window as expected");
}

BENCHMARK(BM_WindowSoak)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
