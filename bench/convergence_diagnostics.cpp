// All four convergence diagnostics of a million-draw column against sorting the same draws; of a
// column that does not mix (a trend) against a stationary one of the same length; and what an
// indicator's lags cost counted against one FFT of all of them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "bench/process_time.h"
#include "bench/wandering_trace.h"
#include "stats/autocorrelation.h"
#include "stats/convergence_diagnostics.h"
#include "stats/indicator_lagged_products.h"
#include "stats/lagged_products.h"

namespace {

constexpr int kDraws = 1000000;
using Clock = std::chrono::steady_clock;

double gSortSeconds = 0, gDiagnosticsSeconds = 0;

// A chain that mixes moderately (AR(1) 0.9 under noise), stored as floats like every table column.
const std::vector<double>& chain() {
  static const std::vector<double> draws = varno::bench::wanderingTrace(kDraws, 42, 0.9, 1, 0.01);
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

// Two million rows of i / 1000 + sin(i), and of sin(i) alone, stored as floats: the trend's
// sequences (draws, ranks and quantile indicators) run on for every lag there is, the stationary
// column's stop after a few.
constexpr int kTrendDraws = 2000000;

const std::vector<double>& trendColumn(bool trend) {
  static const auto make = [](bool withTrend) {
    std::vector<double> values(kTrendDraws);
    for (int i = 0; i < kTrendDraws; ++i)
      values[i] = static_cast<float>((withTrend ? (i + 1) / 1000.0 : 0.0) + std::sin(i + 1.0));
    return values;
  };
  static const std::vector<double> withTrend = make(true), stationary = make(false);
  return trend ? withTrend : stationary;
}

double gStationarySeconds = 0, gTrendSeconds = 0;

void BM_DiagnosticsTwoMillion(benchmark::State& state) {
  const bool trend = state.range(0) == 1;
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const double start = varno::bench::cpuSeconds();
    const varno::ConvergenceDiagnostics d = varno::convergenceDiagnostics(trendColumn(trend));
    best = std::min(best, varno::bench::cpuSeconds() - start);
    if (!d.essBulk || !d.essTail || !d.rhat || !d.mcseMean) state.SkipWithError("a figure is undefined");
    state.counters["ess_tail"] = d.essTail.value_or(0);
  }
  (trend ? gTrendSeconds : gStationarySeconds) = best;
  if (trend && gStationarySeconds > 0) state.counters["over_stationary"] = best / gStationarySeconds;
}

// The indicator of the trend's lowest 5%: counting the lags below the FFT's takeover against the
// transforms of all lags, in counted lags (the takeover lag is chosen near it).
void BM_IndicatorLagsCountedAgainstFft(benchmark::State& state) {
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  std::vector<double> x(n, 0.0);
  std::fill(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(n / 20), 1.0);
  const double mean = static_cast<double>(n / 20) / static_cast<double>(n);
  constexpr std::size_t kLags = varno::IndicatorLaggedProducts::kCountedLags;
  double counting = std::numeric_limits<double>::max(), transforms = counting;
  for (auto _ : state) {
    varno::IndicatorLaggedProducts counted(x, mean);
    double start = varno::bench::cpuSeconds();
    double sum = 0;
    for (std::size_t lag = 1; lag < kLags; ++lag) sum += counted.at(lag);
    counting = std::min(counting, varno::bench::cpuSeconds() - start);
    benchmark::DoNotOptimize(sum);
    start = varno::bench::cpuSeconds();
    const std::vector<double> all = varno::laggedProductsByFft(x);
    transforms = std::min(transforms, varno::bench::cpuSeconds() - start);
    benchmark::DoNotOptimize(all.data());
  }
  state.counters["fft_in_counted_lags"] = transforms / (counting / static_cast<double>(kLags - 1));
}

}  // namespace

BENCHMARK(BM_DiagnosticsTwoMillion)->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IndicatorLagsCountedAgainstFft)->Arg(100000)->Arg(1000000)->Arg(10000000)->Iterations(2)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
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
  if (gStationarySeconds > 0 && gTrendSeconds > 0)
    std::printf("four diagnostics of 2,000,000 draws: trend %.1f ms, stationary %.1f ms: trend/stationary = %.2f\n",
                gTrendSeconds * 1e3, gStationarySeconds * 1e3, gTrendSeconds / gStationarySeconds);
  return 0;
}
