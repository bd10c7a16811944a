// The Details page's figures job on a million rows: the figures of a quantity (with its ess_bulk,
// ess_tail and rhat) against those of the counter (the same statistics, no diagnostics), for the
// trace and the autocorrelation plot.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/wandering_trace.h"
#include "stats/column_figures.h"

namespace {

constexpr int kRows = 1000000;

// Column 1 counts the rows; column 2 is an Fst-like trace with a slowly wandering level.
std::shared_ptr<const varno::SampleTable> table() {
  static const auto t = [] {
    auto out = std::make_shared<varno::SampleTable>(2, kRows);
    const std::vector<double> trace = varno::bench::wanderingTrace(kRows, 42, 0.9, 0.1, 0.03);
    for (int r = 0; r < kRows; ++r) {
      out->cell(0, r) = static_cast<float>(r + 1);
      out->cell(1, r) = static_cast<float>(trace[static_cast<std::size_t>(r)]);
    }
    return std::shared_ptr<const varno::SampleTable>(out);
  }();
  return t;
}

// range(0): the column (1 counter, 2 quantity); range(1): 0 trace, 1 autocorrelation; range(2): 0
// when the window holds the sample's diagnostics already (another plot of the same sample).
void BM_ColumnFiguresMillion(benchmark::State& state) {
  varno::ColumnFiguresInput input;
  input.chains = {{table(), varno::RowRange{0, kRows}}};
  input.column = static_cast<int>(state.range(0));
  input.plotType = state.range(1) == 0 ? varno::PlotType::trace : varno::PlotType::autocorrelation;
  input.diagnose = state.range(2) != 0;
  for (auto _ : state) {
    const varno::ColumnFigures f = varno::computeColumnFigures(input);
    benchmark::DoNotOptimize(f.lines.data());
  }
  state.SetLabel(std::string(state.range(0) == 1 ? "counter" : "quantity") +
                 (state.range(1) == 0 ? ", trace" : ", autocorrelation") +
                 (state.range(2) != 0 ? "" : ", diagnostics known"));
}
BENCHMARK(BM_ColumnFiguresMillion)
    ->Args({1, 0, 1})
    ->Args({2, 0, 1})
    ->Args({2, 0, 0})
    ->Args({2, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
