// The mode's kernel sums in vector lanes against the sums as the density curve shows them, on
// more than 100,000 generated columns of every kind at their default bandwidths: the time of
// each, that the modes agree, and how often the lane sums left grid points too close to call,
// so that they were summed again term by term.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "core/data_file_reader.h"
#include "stats/column_sample.h"
#include "stats/column_statistics.h"
#include "stats/default_bandwidth.h"
#include "stats/kernel_density.h"
#include "tools/trace_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Tally {
  long long columns = 0;
  long long mismatches = 0;
  long long columnsSummedAgain = 0;
  long long gridPointsSummedAgain = 0;
  double shownSeconds = 0, laneSeconds = 0;
};

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Every column of the file, as the summary takes it: all rows, the default bandwidth.
void tallyFile(const std::string& path, const char* label, Tally& total) {
  const varno::DataFileReadResult r = varno::readDataFile(path);
  if (!r.table) throw std::runtime_error(r.error);
  Tally t;
  std::vector<double> values, sorted;
  for (int c = 0; c < r.table->columnCount(); ++c) {
    const std::span<const float> column = r.table->column(c);
    values.assign(column.begin(), column.end());
    sorted = values;
    varno::sortSample(sorted);
    const varno::SampleMoments moments = varno::sampleMoments(values);
    const int position = varno::defaultBandwidthPosition(static_cast<int>(moments.n), moments.sumSquares)
                             .value_or(varno::kDesignedBandwidthPosition);
    const double h = varno::bandwidthOfPosition(position);
    const double min = sorted.front(), max = sorted.back();

    auto start = Clock::now();
    const varno::KernelDensity shown = varno::kernelDensity(sorted, values, min, max, h);
    t.shownSeconds += secondsSince(start);
    start = Clock::now();
    const varno::KernelDensity lanes = varno::kernelDensity(sorted, values, min, max, h, varno::KernelSums::forTheMode);
    t.laneSeconds += secondsSince(start);

    ++t.columns;
    if (lanes.modeIndex != shown.modeIndex) ++t.mismatches;
    if (lanes.summedAgain > 0) ++t.columnsSummedAgain;
    t.gridPointsSummedAgain += lanes.summedAgain;
  }
  std::printf("%-34s %6lld columns x %5d rows: sums %.2f s shown, %.2f s in lanes (%.2fx); %lld modes differ; "
              "summed again in %lld columns (%lld grid points)\n",
              label, t.columns, r.table->rowCount(), t.shownSeconds, t.laneSeconds, t.shownSeconds / t.laneSeconds,
              t.mismatches, t.columnsSummedAgain, t.gridPointsSummedAgain);
  std::fflush(stdout);
  total.columns += t.columns;
  total.mismatches += t.mismatches;
  total.columnsSummedAgain += t.columnsSummedAgain;
  total.gridPointsSummedAgain += t.gridPointsSummedAgain;
  total.shownSeconds += t.shownSeconds;
  total.laneSeconds += t.laneSeconds;
}

}  // namespace

int main() {
  try {
    const varno::bench::BenchFolder folder("rescue");
    Tally total;
    const auto frq = [&](long long rows, int loci, int maxAlleles, std::uint64_t seed, const char* label) {
      varno::FrqSpec spec{rows, loci, maxAlleles, seed};
      const std::string path = folder.path("trace.frq");
      varno::writeFrqFile(spec, path);
      tallyFile(path, label, total);
    };
    const auto table = [&](long long rows, int columns, std::uint64_t seed, const char* label) {
      varno::MlSpec spec{rows, columns, seed};
      const std::string path = folder.path("trace.txt");
      varno::writeMlFile(spec, path);
      tallyFile(path, label, total);
    };
    const auto fst = [&](long long rows, int populations, std::uint64_t seed, const char* label) {
      varno::FstSpec spec;
      spec.rows = rows;
      spec.populations = populations;
      spec.seed = seed;
      const std::string path = folder.path("trace.fst");
      varno::writeFstFile(spec, path);
      tallyFile(path, label, total);
    };
    frq(1000, 10000, 3, 3, "frq, 10,000 loci");
    frq(500, 10000, 4, 11, "frq, 10,000 loci of up to 4 alleles");
    frq(2000, 1000, 5, 14, "frq, 1,000 loci of up to 5 alleles");
    table(300, 20000, 12, "table");
    table(4000, 2000, 1, "table");
    for (std::uint64_t seed = 13; seed < 18; ++seed) fst(4000, 100, seed, "fst, 100 populations");
    std::printf("all: %lld columns; sums %.1f s shown, %.1f s in lanes (%.2fx); %lld modes differ; summed again in "
                "%lld columns (%.3f%%), %lld grid points\n",
                total.columns, total.shownSeconds, total.laneSeconds, total.shownSeconds / total.laneSeconds,
                total.mismatches, total.columnsSummedAgain,
                100.0 * static_cast<double>(total.columnsSummedAgain) / static_cast<double>(total.columns),
                total.gridPointsSummedAgain);
    return total.mismatches == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
