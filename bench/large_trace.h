// The 1 GB example the end-to-end benchmarks share: an .fst trace of 1,000,000 rows x 100
// populations x 2 factors and its factors file, in a temporary folder removed with the object.
#pragma once

#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench_folder.h"
#include "core/data_file_reader.h"
#include "tools/trace_generator.h"

namespace varno::bench {

class LargeTrace {
 public:
  static constexpr long long kRows = 1'000'000;
  static constexpr int kPopulations = 100;
  static constexpr int kFactors = 2;
  // iteration, Sigma², log likelihood, the Fst columns, model, a0 .. aK
  static constexpr int kColumns = 3 + kPopulations + 1 + kFactors + 1;

  // Makes the folder, named after `tag`; the files are written by generate().
  explicit LargeTrace(const std::string& tag)
      : folder_(tag), dir(folder_.dir), data(folder_.path("trace.fst")), factors(folder_.path("trace.txt")) {}

  void generate() const {
    FstSpec spec;
    spec.rows = kRows;
    spec.populations = kPopulations;
    spec.factors = kFactors;
    writeFstFile(spec, data);
    writeFactorsFile(spec, factors);
    std::printf("generated %s: %.1f MB, %lld rows x %d columns\n", data.c_str(),
                static_cast<double>(std::filesystem::file_size(data)) / 1e6, kRows, kColumns);
  }

 private:
  BenchFolder folder_;

 public:
  std::string dir, data, factors;
};

// The best time of reading the trace over a benchmark's iterations, in seconds; the benchmark
// fails when the trace is not read whole.
inline double bestReadSeconds(benchmark::State& state, const std::string& path) {
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const DataFileReadResult r = readDataFile(path);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!r.table || r.table->rowCount() != LargeTrace::kRows || r.table->columnCount() != LargeTrace::kColumns) {
      state.SkipWithError("the file was not read whole");
      return 0;
    }
  }
  return best;
}

}  // namespace varno::bench
