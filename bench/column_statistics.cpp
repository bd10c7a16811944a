// Column statistics with mode and density curve on a million values, against sorting them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/wandering_trace.h"
#include "stats/column_statistics.h"

namespace {

constexpr int kValues = 1000000;

// An Fst-like trace: float values around 0.2 with a slowly wandering level, as a chain gives.
const std::vector<double>& traceSample() {
  static const std::vector<double> sample = varno::bench::wanderingTrace(kValues, 42, 0.9, 0.1, 0.03);
  return sample;
}

// The bandwidth the Default button sets: e^(trunc(100 ln h0) / 100) with the rule of thumb h0.
double defaultBandwidth(const std::vector<double>& values) {
  double mean = 0;
  for (double v : values) mean += v;
  mean /= values.size();
  double squares = 0;
  for (double v : values) squares += (v - mean) * (v - mean);
  const double n = static_cast<double>(values.size());
  const double h0 = 1.06 * std::sqrt(squares / (n - 1)) * std::pow(n, -0.2);
  return std::exp(std::trunc(100 * std::log(h0)) / 100);
}

void BM_SortMillion(benchmark::State& state) {
  const std::vector<double>& sample = traceSample();
  std::vector<double> work(sample.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(sample.begin(), sample.end(), work.begin());
    state.ResumeTiming();
    std::sort(work.begin(), work.end());
    benchmark::DoNotOptimize(work.data());
  }
}
BENCHMARK(BM_SortMillion)->Unit(benchmark::kMillisecond)->UseRealTime();

// range(0): bandwidth position p for h = e^(p / 100); 1 stands for the default bandwidth.
void BM_ColumnStatisticsMillion(benchmark::State& state) {
  const std::vector<double>& sample = traceSample();
  const double h = state.range(0) == 1 ? defaultBandwidth(sample) : std::exp(state.range(0) / 100.0);
  for (auto _ : state) {
    const varno::ColumnStatistics s = varno::computeColumnStatistics(sample, 95, h, true);
    benchmark::DoNotOptimize(s.mode);
  }
  state.SetLabel("h = " + std::to_string(h));
}
BENCHMARK(BM_ColumnStatisticsMillion)->Arg(1)->Arg(-1000)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
