// What the evidence for each factor adds to the summary's background job: the ESS of every model's
// and factor's 0/1 series, against the model summary of the same trace.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <span>

#include "stats/inclusion_evidence.h"
#include "stats/model_summary.h"

namespace {

constexpr int kRows = 200000;
constexpr int kPopulations = 6;
constexpr int kFactors = 3;  // two factors and their interaction: five models

std::uint64_t next(std::uint64_t& s) {
  std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// A sampler that stays in its model for about 20 rows: the indicators are strongly autocorrelated,
// so their sums of autocorrelations run over many lags.
std::shared_ptr<const varno::SampleTable> traceTable() {
  static const std::shared_ptr<const varno::SampleTable> table = [] {
    auto t = std::make_shared<varno::SampleTable>(kPopulations + kFactors + 5, kRows);
    std::uint64_t s = 7;
    int model = 1;
    for (int r = 0; r < kRows; ++r) {
      if (next(s) % 20 == 0) model = static_cast<int>(next(s) % 5) + 1;
      t->cell(0, r) = static_cast<float>(r + 1);
      t->cell(1, r) = 0.05f + 0.01f * static_cast<float>(next(s) % 100) / 100;
      t->cell(2, r) = -1000;
      for (int p = 0; p < kPopulations; ++p) t->cell(3 + p, r) = 0.01f + 0.001f * static_cast<float>(next(s) % 100);
      t->cell(3 + kPopulations, r) = static_cast<float>(model);
      for (int f = 0; f <= kFactors; ++f) t->cell(4 + kPopulations + f, r) = static_cast<float>(next(s) % 100) / 100;
    }
    return t;
  }();
  return table;
}

void BM_ModelSummary(benchmark::State& state) {
  varno::ModelSummaryInput in;
  in.chains = {{traceTable(), varno::RowRange{0, kRows}}};
  in.populationCount = kPopulations;
  in.factorCount = kFactors;
  in.hasInteraction = true;
  in.fstSummary.reset(kPopulations);
  in.coefficientSummary.reset(kFactors + 1);
  for (auto _ : state) {
    varno::ModelSummaryResult result = varno::computeModelSummary(in);
    benchmark::DoNotOptimize(result.fstSummary.mean.data());
  }
}
BENCHMARK(BM_ModelSummary)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void BM_IndicatorEss(benchmark::State& state) {
  const std::span<const float> chains[] = {traceTable()->column(3 + kPopulations)};
  for (auto _ : state) {
    varno::IndicatorEss ess = varno::indicatorEss(chains, kFactors, true);
    benchmark::DoNotOptimize(ess.models.data());
  }
}
BENCHMARK(BM_IndicatorEss)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
