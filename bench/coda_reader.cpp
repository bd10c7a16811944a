// The CODA reader on an index and a chain file of 50 names x 200,000 iterations (about 160 MB)
// against the reader on the same numbers as one blank-separated table of 51 columns, read in turns.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "core/coda_reader.h"
#include "core/data_file_reader.h"
#include "repeatable_random.h"

namespace {

constexpr int kNames = 50;
constexpr int kIterations = 200'000;
constexpr int kThin = 10;

using Clock = std::chrono::steady_clock;

std::string gIndex, gTable;
double gRatio = 0;

void append(std::string& out, double v) {
  char buf[32];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, static_cast<float>(v), std::chars_format::general, 6).ptr);
}

// The same draws twice: as an index and one chain file, and as a table with the iterations first.
void writeFiles(const std::string& index, const std::string& chain, const std::string& table) {
  varno::bench::RepeatableRandom rnd{5};
  std::vector<std::vector<double>> draws(kNames, std::vector<double>(kIterations));
  for (auto& name : draws)
    for (double& v : name) v = 6 * rnd.uniform() - 3;
  std::ofstream indexFile(index, std::ios::binary), chainFile(chain, std::ios::binary), tableFile(table, std::ios::binary);
  std::string out;
  for (int n = 0; n < kNames; ++n) {
    indexFile << "theta[" << n + 1 << "] " << static_cast<long long>(n) * kIterations + 1 << ' '
              << static_cast<long long>(n + 1) * kIterations << '\n';
    for (int k = 0; k < kIterations; ++k) {
      out += std::to_string((k + 1) * kThin);
      out += ' ';
      append(out, draws[n][k]);
      out += '\n';
    }
    chainFile << out;
    out.clear();
  }
  for (int k = 0; k < kIterations; ++k) {
    out += std::to_string((k + 1) * kThin);
    for (int n = 0; n < kNames; ++n) {
      out += ' ';
      append(out, draws[n][k]);
    }
    out += '\n';
    if (out.size() > (4u << 20)) {
      tableFile << out;
      out.clear();
    }
  }
  tableFile << out;
}

void BM_CodaVersusTable(benchmark::State& state) {
  double bestCoda = std::numeric_limits<double>::max(), bestTable = bestCoda;
  for (auto _ : state) {
    auto start = Clock::now();
    const varno::CodaReadResult coda = varno::readCoda(gIndex);
    bestCoda = std::min(bestCoda, std::chrono::duration<double>(Clock::now() - start).count());
    start = Clock::now();
    const varno::DataFileReadResult table = varno::readDataFile(gTable);
    bestTable = std::min(bestTable, std::chrono::duration<double>(Clock::now() - start).count());
    if (coda.chains.size() != 1 || coda.chains[0].table->rowCount() != kIterations || !table.table ||
        table.table->rowCount() != kIterations) {
      state.SkipWithError(("not read whole: " + coda.error + table.error).c_str());
      return;
    }
  }
  state.counters["coda_ms"] = bestCoda * 1e3;
  state.counters["table_ms"] = bestTable * 1e3;
  gRatio = bestCoda / bestTable;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const varno::bench::BenchFolder folder("coda");
  gIndex = folder.path("CODAindex.txt");
  gTable = folder.path("table.txt");
  writeFiles(gIndex, folder.path("CODAchain1.txt"), gTable);
  std::printf("generated %s (%.1f MB) and %s (%.1f MB)\n", folder.path("CODAchain1.txt").c_str(),
              static_cast<double>(std::filesystem::file_size(folder.path("CODAchain1.txt"))) / 1e6, gTable.c_str(),
              static_cast<double>(std::filesystem::file_size(gTable)) / 1e6);
  benchmark::RegisterBenchmark("coda_versus_table", BM_CodaVersusTable)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gRatio > 0) std::printf("CODA index and chain file / the same numbers as one table = %.2f\n", gRatio);
  return 0;
}
