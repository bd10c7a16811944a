// varno-report --summary on four chains of 250,000 rows against one file of 1,000,000 rows (both
// 100 populations): time and peak resident size of the program, as ratios. The chains hold the
// same rows as the file, a quarter each.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <limits>
#include <string>
#include <vector>

#include "large_trace.h"
#include "tool_process.h"

namespace {

using varno::bench::runTool;
using Clock = std::chrono::steady_clock;

std::vector<std::string> gOneFile, gFourChains;
double gOneSeconds = 0, gChainsSeconds = 0;
long gOnePeakKb = 0, gChainsPeakKb = 0;

void measure(benchmark::State& state, const std::vector<std::string>& args, double& bestSeconds, long& peakKb) {
  double best = std::numeric_limits<double>::max();
  long peak = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const long kb = runTool(args);
    if (kb < 0) {
      state.SkipWithError("varno-report failed");
      return;
    }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    peak = std::max(peak, kb);
  }
  bestSeconds = best;
  peakKb = peak;
  state.counters["peak_rss_mb"] = static_cast<double>(peak) / 1024;
}

void BM_OneFile(benchmark::State& state) { measure(state, gOneFile, gOneSeconds, gOnePeakKb); }
void BM_FourChains(benchmark::State& state) { measure(state, gFourChains, gChainsSeconds, gChainsPeakKb); }

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int exitStatus = 0;
  try {
    const varno::bench::LargeTrace trace("chains");
    trace.generate();
    gOneFile = {trace.data, trace.factors, "--interaction", "no", "--summary"};
    // the four chains are the four quarters of the one file: the same draws of the same posterior,
    // so that both runs compute the same figures and only the chains differ
    std::vector<std::string> chains;
    {
      std::ifstream in(trace.data);
      const long long perChain = varno::bench::LargeTrace::kRows / 4;
      std::string line;
      for (int c = 1; c <= 4; ++c) {
        chains.push_back(trace.dir + "/chain" + std::to_string(c) + ".fst");
        std::ofstream out(chains.back());
        for (long long r = 0; r < perChain && std::getline(in, line); ++r) out << line << '\n';
        if (!out) throw std::runtime_error("cannot write " + chains.back());
      }
    }
    gFourChains = {chains[0], trace.factors, "--interaction", "no", "--summary"};
    for (int c = 1; c < 4; ++c) gFourChains.insert(gFourChains.end(), {"--chain", chains[static_cast<std::size_t>(c)]});

    benchmark::RegisterBenchmark("summary_one_file_1M_rows", BM_OneFile)
        ->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("summary_four_chains_250k_rows", BM_FourChains)
        ->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (gOneSeconds > 0 && gChainsSeconds > 0)
      std::printf("four chains %.0f ms, one file %.0f ms: time ratio %.2f (target <= 1.2)\n", gChainsSeconds * 1e3,
                  gOneSeconds * 1e3, gChainsSeconds / gOneSeconds);
    if (gOnePeakKb > 0 && gChainsPeakKb > 0)
      std::printf("four chains %.0f MB, one file %.0f MB peak resident: memory ratio %.2f (target <= 1.1)\n",
                  gChainsPeakKb / 1024.0, gOnePeakKb / 1024.0, static_cast<double>(gChainsPeakKb) / gOnePeakKb);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    exitStatus = 1;
  }
  return exitStatus;
}
