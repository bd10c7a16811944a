// All four convergence diagnostics of a million-draw column against sorting the same draws.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "stats/autocorrelation.h"
#include "stats/convergence_diagnostics.h"

namespace {

constexpr int kDraws = 1000000;
using Clock = std::chrono::steady_clock;

double gSortSeconds = 0, gDiagnosticsSeconds = 0;

// A chain that mixes moderately (AR(1) 0.9 under noise), stored as floats like every table column.
const std::vector<double>& chain() {
  static const std::vector<double> draws = [] {
    std::mt19937_64 rng(42);
    std::normal_distribution<double> normal(0, 1);
    std::vector<double> values(kDraws);
    double level = 0;
    for (double& v : values) {
      level = 0.9 * level + normal(rng);
      v = static_cast<float>(0.2 + 0.01 * normal(rng) + 0.02 * level);
    }
    return values;
  }();
  return draws;
}

void BM_SortMillion(benchmark::State& state) {
  std::vector<double> work(kDraws);
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    std::copy(chain().begin(), chain().end(), work.begin());
    const auto start = Clock::now();
    std::sort(work.begin(), work.end());
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    benchmark::DoNotOptimize(work.data());
  }
  gSortSeconds = best;
}

// The first run of a size also builds the table of normal scores that later columns share.
void BM_DiagnosticsMillion(benchmark::State& state) {
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = Clock::now();
    const varno::ConvergenceDiagnostics d = varno::convergenceDiagnostics(chain());
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    if (!d.essBulk || !d.essTail || !d.rhat || !d.mcseMean) state.SkipWithError("a figure is undefined");
    state.counters["ess_bulk"] = d.essBulk.value_or(0);
  }
  gDiagnosticsSeconds = best;
  if (gSortSeconds > 0) state.counters["over_sort"] = best / gSortSeconds;
}

void BM_AutocorrelationMillion(benchmark::State& state) {
  for (auto _ : state) {
    const varno::Autocorrelation acf = varno::autocorrelation(chain());
    benchmark::DoNotOptimize(acf.values.data());
    state.counters["truncation_lag"] = static_cast<double>(acf.truncationLag);
  }
}

}  // namespace

BENCHMARK(BM_SortMillion)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DiagnosticsMillion)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AutocorrelationMillion)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gSortSeconds > 0 && gDiagnosticsSeconds > 0)
    std::printf("four diagnostics %.1f ms, std::sort %.1f ms: diagnostics/sort = %.2f (target <= 2)\n",
                gDiagnosticsSeconds * 1e3, gSortSeconds * 1e3, gDiagnosticsSeconds / gSortSeconds);
  return 0;
}
