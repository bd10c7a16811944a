// The MCSE of both HPDI limits of a million-draw column beside the convergence diagnostics of the
// same draws: what the summary's two new columns add to the work per column it does today.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "stats/convergence_diagnostics.h"
#include "stats/quantile_error.h"

namespace {

constexpr int kDraws = 1000000;
using Clock = std::chrono::steady_clock;

double gDiagnosticsSeconds = 0, gLimitsSeconds = 0;

// A slowly mixing column as a trace file holds it: AR(1) 0.99 written with four decimals, so that
// most draws have equals, as in the summary's columns.
const std::vector<double>& column() {
  static const std::vector<double> draws = [] {
    std::mt19937_64 rng(7);
    std::normal_distribution<double> step(0, 0.1);
    std::vector<double> values(kDraws);
    double level = 0;
    for (double& v : values) {
      level = 0.99 * level + step(rng);
      v = std::round(level * 1e4) / 1e4;
    }
    return values;
  }();
  return draws;
}

template <class Work>
double bestSeconds(benchmark::State& state, Work work) {
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

void BM_Diagnostics(benchmark::State& state) {
  gDiagnosticsSeconds = bestSeconds(state, [] {
    const varno::ConvergenceDiagnostics d = varno::convergenceDiagnostics(std::span<const double>(column()));
    benchmark::DoNotOptimize(d);
  });
}

// The limits of the central 95% as stand-ins for an HPDI's: the same work for any two draws.
void BM_LimitMcse(benchmark::State& state) {
  std::vector<double> sorted = column();
  std::sort(sorted.begin(), sorted.end());
  const double low = sorted[kDraws / 40], high = sorted[kDraws - kDraws / 40];
  const std::span<const double> chains[] = {column()};
  gLimitsSeconds = bestSeconds(state, [&] {
    const varno::QuantileErrors errors(chains);
    const auto a = errors.limitMcse(low), b = errors.limitMcse(high);
    benchmark::DoNotOptimize(a);
    benchmark::DoNotOptimize(b);
  });
  if (gDiagnosticsSeconds > 0) state.counters["limits_over_diagnostics"] = gLimitsSeconds / gDiagnosticsSeconds;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RegisterBenchmark("diagnostics", BM_Diagnostics)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("hpdi_limits_mcse", BM_LimitMcse)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gDiagnosticsSeconds > 0 && gLimitsSeconds > 0)
    std::printf("MCSE of two limits %.0f ms, convergence diagnostics %.0f ms: limits/diagnostics = %.2f\n",
                gLimitsSeconds * 1e3, gDiagnosticsSeconds * 1e3, gLimitsSeconds / gDiagnosticsSeconds);
  return 0;
}
