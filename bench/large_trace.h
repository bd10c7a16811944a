// The 1 GB example the end-to-end benchmarks share: an .fst trace of 1,000,000 rows x 100
// populations x 2 factors and its factors file, in a temporary folder removed with the object.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

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
  explicit LargeTrace(const std::string& tag) {
    std::string pattern = "/tmp/varno_bench_" + tag + "_XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a folder for " + pattern);
    dir = pattern;
    data = dir + "/trace.fst";
    factors = dir + "/trace.txt";
  }
  ~LargeTrace() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  LargeTrace(const LargeTrace&) = delete;
  LargeTrace& operator=(const LargeTrace&) = delete;

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

  std::string dir, data, factors;
};

}  // namespace varno::bench
