// The model summary of a large Fst trace, against sorting the same samples.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <vector>

#include "stats/model_summary.h"

namespace {

constexpr int kRows = 200000;
constexpr int kPopulations = 100;
constexpr int kFactors = 2;
constexpr int kBestModel = 4;  // holds both factors, so 104 quantities are summarised

// splitmix64: a small deterministic generator, uniform in [0, 1).
class Uniform {
 public:
  explicit Uniform(std::uint64_t seed) : state_(seed) {}
  double operator()() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
  }

 private:
  std::uint64_t state_;
};

// Every row in the best model, so each summary reads all 200,000 rows.
std::shared_ptr<const varno::SampleTable> traceTable() {
  static const std::shared_ptr<const varno::SampleTable> table = [] {
    auto t = std::make_shared<varno::SampleTable>(kPopulations + kFactors + 5, kRows);
    Uniform u(42);
    for (int r = 0; r < kRows; ++r) {
      t->cell(0, r) = static_cast<float>(r + 1);
      t->cell(1, r) = static_cast<float>(0.05 + 0.02 * u());
      t->cell(2, r) = static_cast<float>(-1000 - 50 * u());
      for (int p = 0; p < kPopulations; ++p) {
        // skewed Fst around a population-specific level
        const double x = u();
        t->cell(3 + p, r) = static_cast<float>(0.01 + 0.002 * p + 0.05 * x * x);
      }
      t->cell(3 + kPopulations, r) = kBestModel;
      for (int f = 0; f <= kFactors; ++f) t->cell(4 + kPopulations + f, r) = static_cast<float>(f - 1 + 0.3 * (u() - 0.5));
    }
    return t;
  }();
  return table;
}

// The columns summarised: Sigma², the Fst of every population, the three coefficients.
std::vector<int> summarisedColumns() {
  std::vector<int> columns = {1};
  for (int p = 1; p <= kPopulations; ++p) columns.push_back(2 + p);
  for (int f = 0; f <= kFactors; ++f) columns.push_back(4 + kPopulations + f);
  return columns;
}

void BM_ComputeModelSummary(benchmark::State& state) {
  varno::ModelSummaryInput in;
  in.chains = {{traceTable(), varno::RowRange{0, kRows}}};
  in.populationCount = kPopulations;
  in.factorCount = kFactors;
  in.fstSummary.reset(kPopulations);
  in.coefficientSummary.reset(kFactors + 1);
  // CPU time of all threads, which the main thread's CPU time leaves out
  const std::clock_t start = std::clock();
  for (auto _ : state) {
    varno::ModelSummaryResult result = varno::computeModelSummary(in);
    benchmark::DoNotOptimize(result.fstSummary.mean.data());
  }
  state.counters["all_threads_cpu_ms"] = benchmark::Counter(
      1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC / static_cast<double>(state.iterations()));
  state.counters["quantities"] = 104;
}
BENCHMARK(BM_ComputeModelSummary)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The lower bound any summary has to pay: widening each sample to doubles and sorting it.
void BM_SortSamples(benchmark::State& state) {
  const auto table = traceTable();
  const std::vector<int> columns = summarisedColumns();
  std::vector<double> scratch(kRows);
  for (auto _ : state) {
    for (int c : columns) {
      const auto column = table->column(c);
      std::copy(column.begin(), column.end(), scratch.begin());
      std::sort(scratch.begin(), scratch.end());
      benchmark::DoNotOptimize(scratch.data());
    }
  }
  state.counters["samples"] = static_cast<double>(columns.size());
}
BENCHMARK(BM_SortSamples)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
