// SummarizeSample on 200,000 draws, against sorting them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "stats/sample_summary.h"

namespace {

const std::vector<double>& draws() {
  static const std::vector<double> sample = [] {
    std::mt19937_64 rng(7);
    std::gamma_distribution<double> gamma(4, 0.05);
    std::vector<double> values(200000);
    for (double& v : values) v = static_cast<float>(gamma(rng));
    return values;
  }();
  return sample;
}

void BM_Sort200k(benchmark::State& state) {
  std::vector<double> work(draws().size());
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(draws().begin(), draws().end(), work.begin());
    state.ResumeTiming();
    std::sort(work.begin(), work.end());
    benchmark::DoNotOptimize(work.data());
  }
}
BENCHMARK(BM_Sort200k)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SummarizeSample200k(benchmark::State& state) {
  std::vector<double> work(draws().size());
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(draws().begin(), draws().end(), work.begin());
    state.ResumeTiming();
    const varno::PosteriorSummary s = varno::SummarizeSample(work, 0.95);
    benchmark::DoNotOptimize(s.mode);
  }
}
BENCHMARK(BM_SummarizeSample200k)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
