// The numerics of a column's three chain plots (ranks, rank ECDF, ESS profiles) beside the
// column's convergence diagnostics, for 4 chains of 250,000 draws.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <vector>

#include "bench/process_time.h"
#include "bench/repeatable_random.h"
#include "stats/convergence_diagnostics.h"
#include "stats/ess_profile.h"
#include "stats/rank_plots.h"

namespace {

constexpr int kChains = 4;
constexpr int kDraws = 250000;
using Clock = std::chrono::steady_clock;

double gDiagnosticsSeconds = 0, gDiagnosticsCpu = 0;
double gLastCpu = 0;

// AR(1) 0.9 chains written with four decimals, as a trace file holds them: many draws have equals.
const std::vector<std::vector<double>>& chainDraws() {
  static const std::vector<std::vector<double>> chains = [] {
    varno::bench::RepeatableRandom random{11};
    std::vector<std::vector<double>> c(kChains, std::vector<double>(kDraws));
    for (auto& chain : c) {
      double level = 0;
      for (double& v : chain) {
        // a sum of uniforms: near enough to normal steps
        double step = -6;
        for (int k = 0; k < 12; ++k) step += random.uniform();
        level = 0.9 * level + 0.4 * step;
        v = std::round(level * 1e4) / 1e4;
      }
    }
    return c;
  }();
  return chains;
}

std::vector<std::span<const double>> spans() {
  const auto& c = chainDraws();
  return {c.begin(), c.end()};
}

// The best wall time of the runs; gLastCpu the best processor time of all threads (the ESS over
// the run uses two), which the load of a shared machine moves less.
template <class Work>
double bestSeconds(benchmark::State& state, Work work) {
  double best = std::numeric_limits<double>::max();
  gLastCpu = best;
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpu = varno::bench::cpuSeconds();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    gLastCpu = std::min(gLastCpu, varno::bench::cpuSeconds() - cpu);
  }
  return best;
}

void BM_Diagnostics(benchmark::State& state) {
  const auto chains = spans();
  gDiagnosticsSeconds = bestSeconds(state, [&] {
    const varno::ConvergenceDiagnostics d = varno::convergenceDiagnostics(chains);
    benchmark::DoNotOptimize(d);
  });
  gDiagnosticsCpu = gLastCpu;
}

template <class Work>
void compared(benchmark::State& state, Work work) {
  const double seconds = bestSeconds(state, work);
  if (gDiagnosticsSeconds > 0) {
    state.counters["over_diagnostics"] = seconds / gDiagnosticsSeconds;
    state.counters["cpu_over_diagnostics"] = gLastCpu / gDiagnosticsCpu;
  }
}

// Both rank plots: one sort for the ranks and the ESS the thinning needs, the band's simulation.
void BM_RankPlots(benchmark::State& state) {
  compared(state, [] { benchmark::DoNotOptimize(varno::rankPlots(chainDraws())); });
}

void BM_QuantileEss(benchmark::State& state) {
  const auto chains = spans();
  compared(state, [&] { benchmark::DoNotOptimize(varno::quantileEss(chains)); });
}

void BM_LocalEss(benchmark::State& state) {
  const auto chains = spans();
  compared(state, [&] { benchmark::DoNotOptimize(varno::localEss(chains)); });
}

void BM_EssOverRun(benchmark::State& state) {
  const auto chains = spans();
  compared(state, [&] { benchmark::DoNotOptimize(varno::essOverRun(chains)); });
}

// Both rank plots where the window has the column's diagnostics already: ranks and band alone.
void BM_RankPlotsKnownEss(benchmark::State& state) {
  const auto chains = spans();
  const varno::BulkTailEss known{varno::essBulk(chains), varno::essTail(chains)};
  compared(state, [&] { benchmark::DoNotOptimize(varno::rankPlots(chainDraws(), varno::kDefaultRankBins, 0.95, known)); });
}

// The three plots as the window shows them: both rank plots and the slowest ESS series.
void BM_ThreePlotsSlowestEss(benchmark::State& state) {
  const auto chains = spans();
  compared(state, [&] {
    benchmark::DoNotOptimize(varno::rankPlots(chainDraws()));
    benchmark::DoNotOptimize(varno::essOverRun(chains));
  });
}

// Everything the three plots can show: both rank plots and all three ESS series.
void BM_AllThreePlots(benchmark::State& state) {
  compared(state, [] {
    benchmark::DoNotOptimize(varno::rankPlots(chainDraws()));
    benchmark::DoNotOptimize(varno::columnEssProfile(chainDraws()));
  });
}

}  // namespace

int main(int argc, char** argv) {
  chainDraws();
  benchmark::Initialize(&argc, argv);
  for (const auto& [name, run] : {std::pair{"diagnostics", &BM_Diagnostics}, std::pair{"rank_plots", &BM_RankPlots},
                                  std::pair{"ess_quantile", &BM_QuantileEss}, std::pair{"ess_local", &BM_LocalEss},
                                  std::pair{"ess_run", &BM_EssOverRun}, std::pair{"rank_plots_known_ess", &BM_RankPlotsKnownEss},
                                  std::pair{"three_plots_slowest_ess", &BM_ThreePlotsSlowestEss},
                                  std::pair{"all_three_plots", &BM_AllThreePlots}})
    benchmark::RegisterBenchmark(name, run)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
