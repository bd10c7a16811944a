// The reader on another sampler's trace: a comma-separated file with a header and a comment line
// every 10,000 rows against the same numbers separated by blanks, read in turns; and the 1 GB fst
// trace, whose rows of numbers only must read as fast as ever.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <string_view>

#include "bench/large_trace.h"
#include "bench_folder.h"
#include "core/data_file_reader.h"
#include "process_time.h"
#include "repeatable_random.h"

namespace {

using varno::bench::cpuSeconds;

constexpr int kRows = 230'000;  // about 200 MB in either form
constexpr int kColumns = 100;
constexpr int kCommentEvery = 10'000;

using Clock = std::chrono::steady_clock;

std::string gBlankFile, gCsvFile;
double gRatio = 0;

// Writes the same rows twice: separated by blanks, and as CSV with a header and comment lines.
void writeTraces(const std::string& blankPath, const std::string& csvPath) {
  varno::bench::RepeatableRandom rnd{7};
  std::ofstream blank(blankPath, std::ios::binary), csv(csvPath, std::ios::binary);
  std::string b, c = "# sampler settings\n";
  for (int k = 0; k < kColumns; ++k) c += (k ? ",\"theta." : "\"theta.") + std::to_string(k + 1) + "\"";
  c += '\n';
  char buf[32];
  for (int r = 0; r < kRows; ++r) {
    if (r > 0 && r % kCommentEvery == 0) c += "# adaptation note\n";
    for (int k = 0; k < kColumns; ++k) {
      const float v = static_cast<float>(k == 0 ? r + 1 : 6 * rnd.uniform() - 3);
      const std::string_view text(buf, static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6).ptr - buf));
      if (k) {
        b += ' ';
        c += ',';
      }
      b += text;
      c += text;
    }
    b += '\n';
    c += '\n';
    if (b.size() > (4u << 20)) {
      blank << b;
      csv << c;
      b.clear();
      c.clear();
    }
  }
  blank << b;
  csv << c;
}

double readSeconds(const std::string& path, benchmark::State& state) {
  const auto start = Clock::now();
  const varno::DataFileReadResult r = varno::readDataFile(path);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!r.table || r.table->rowCount() != kRows || r.table->columnCount() != kColumns)
    state.SkipWithError(("not read whole: " + path + " " + r.error).c_str());
  return seconds;
}

// The two files in turns, so that both see the same load on a shared machine.
void BM_CsvVersusBlank(benchmark::State& state) {
  double bestBlank = std::numeric_limits<double>::max(), bestCsv = bestBlank;
  double cpuBlank = bestBlank, cpuCsv = bestBlank;
  for (auto _ : state) {
    double cpu = cpuSeconds();
    bestBlank = std::min(bestBlank, readSeconds(gBlankFile, state));
    cpuBlank = std::min(cpuBlank, cpuSeconds() - cpu);
    cpu = cpuSeconds();
    bestCsv = std::min(bestCsv, readSeconds(gCsvFile, state));
    cpuCsv = std::min(cpuCsv, cpuSeconds() - cpu);
  }
  gRatio = bestCsv / bestBlank;
  state.counters["blank_ms"] = bestBlank * 1e3;
  state.counters["csv_ms"] = bestCsv * 1e3;
  state.counters["csv_over_blank"] = gRatio;
  state.counters["cpu_csv_over_blank"] = cpuCsv / cpuBlank;
}

void BM_ReadLargeFst(benchmark::State& state) {
  varno::bench::LargeTrace trace("reader_styles");
  trace.generate();
  double best = std::numeric_limits<double>::max(), bestCpu = best;
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    const varno::DataFileReadResult r = varno::readDataFile(trace.data);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    bestCpu = std::min(bestCpu, cpuSeconds() - cpuStart);
    if (!r.table || r.table->rowCount() != varno::bench::LargeTrace::kRows) {
      state.SkipWithError("the 1 GB trace was not read whole");
      return;
    }
  }
  state.counters["best_ms"] = best * 1e3;
  state.counters["best_cpu_ms"] = bestCpu * 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const varno::bench::BenchFolder folder("styles");
  gBlankFile = folder.path("trace.txt");
  gCsvFile = folder.path("trace.csv");
  writeTraces(gBlankFile, gCsvFile);
  std::printf("generated %s (%.1f MB) and %s (%.1f MB)\n", gBlankFile.c_str(),
              static_cast<double>(std::filesystem::file_size(gBlankFile)) / 1e6, gCsvFile.c_str(),
              static_cast<double>(std::filesystem::file_size(gCsvFile)) / 1e6);

  benchmark::RegisterBenchmark("csv_versus_blank", BM_CsvVersusBlank)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("read_1gb_fst", BM_ReadLargeFst)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gRatio > 0) std::printf("csv with header and comments / blank-separated = %.3f (target <= 1.1)\n", gRatio);
  return 0;
}
