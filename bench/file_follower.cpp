// Following a 1,000,000-row x 105-column .fst trace that grows by 1,000 rows: one round (open,
// check, read and parse the new rows) against a full read of the same file, as Reload does.
// Appending the rows to the analysis's table is not part of the round.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>

#include "bench_folder.h"
#include "core/data_file_reader.h"
#include "core/file_follower.h"
#include "process_time.h"
#include "tools/trace_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr long long kRows = 1'000'000;
constexpr long long kGrowth = 1'000;
constexpr int kColumns = 105;  // iteration, Sigma², log likelihood, 100 Fst, model, a0

std::string gPath;
long long gBaseBytes = 0;  // the bytes of the first kRows rows
std::string gGrowth;       // the kGrowth rows appended
double gReloadSeconds = 0, gRoundSeconds = 0;
double gReloadCpu = 0, gRoundCpu = 0;  // processor time of all threads, steadier under load

using varno::bench::cpuSeconds;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Writes kRows + kGrowth rows, keeps the last kGrowth as the growth and cuts the file before them.
void prepare(const std::string& path) {
  varno::FstSpec spec;
  spec.rows = kRows + kGrowth;
  spec.populations = 100;
  spec.factors = 0;
  varno::writeFstFile(spec, path);
  const int fd = ::open(path.c_str(), O_RDWR);
  const long long size = static_cast<long long>(std::filesystem::file_size(path));
  std::string tail(static_cast<std::size_t>(std::min<long long>(size, 64LL << 20)), '\0');
  const long long tailStart = size - static_cast<long long>(tail.size());
  if (fd < 0 || ::pread(fd, tail.data(), tail.size(), tailStart) != static_cast<ssize_t>(tail.size()))
    throw std::runtime_error("cannot read back " + path);
  std::size_t at = tail.size();
  for (long long lines = 0; lines <= kGrowth; ++lines) at = tail.rfind('\n', at - 1);
  gGrowth = tail.substr(at + 1);
  gBaseBytes = tailStart + static_cast<long long>(at) + 1;
  if (::ftruncate(fd, gBaseBytes) != 0) throw std::runtime_error("cannot cut " + path);
  ::close(fd);
  std::printf("generated %s: %.1f MB, %lld rows x %d columns, growing by %lld rows (%.2f MB)\n", path.c_str(),
              static_cast<double>(gBaseBytes) / 1e6, kRows, kColumns, kGrowth,
              static_cast<double>(gGrowth.size()) / 1e6);
}

void BM_Reload(benchmark::State& state) {
  double best = std::numeric_limits<double>::max(), bestCpu = best;
  for (auto _ : state) {
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    const varno::DataFileReadResult r = varno::readDataFile(gPath);
    best = std::min(best, secondsSince(start));
    bestCpu = std::min(bestCpu, cpuSeconds() - cpuStart);
    if (!r.table || r.table->rowCount() != kRows || r.table->columnCount() != kColumns) {
      state.SkipWithError("the trace was not read whole");
      return;
    }
  }
  gReloadSeconds = best;
  gReloadCpu = bestCpu;
  state.counters["best_ms"] = best * 1e3;
  state.counters["best_cpu_ms"] = bestCpu * 1e3;
}

// Each iteration cuts the file back to kRows rows (same inode), appends the growth and times the
// round that takes it in.
void BM_FollowRound(benchmark::State& state) {
  const varno::DataFileReadResult first = varno::readDataFile(gPath);
  if (!first.table || first.readOn.byte != gBaseBytes) {
    state.SkipWithError("the trace was not read whole");
    return;
  }
  double best = std::numeric_limits<double>::max(), bestCpu = best;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::resize_file(gPath, static_cast<std::uintmax_t>(gBaseBytes));
    varno::FileFollower follower(gPath, first.readOn);
    const int fd = ::open(gPath.c_str(), O_WRONLY | O_APPEND);
    const bool written = fd >= 0 && ::write(fd, gGrowth.data(), gGrowth.size()) == static_cast<ssize_t>(gGrowth.size());
    if (fd >= 0) ::close(fd);
    state.ResumeTiming();
    const auto start = Clock::now();
    const double cpuStart = cpuSeconds();
    const varno::FollowPoll poll = follower.poll();
    best = std::min(best, secondsSince(start));
    bestCpu = std::min(bestCpu, cpuSeconds() - cpuStart);
    if (!written || poll.change != varno::FileChange::grown || poll.appended.rows->rowCount() != kGrowth ||
        poll.appended.rows->columnCount() != kColumns) {
      state.SkipWithError(("the growth was not taken in: " + poll.message).c_str());
      return;
    }
  }
  gRoundSeconds = best;
  gRoundCpu = bestCpu;
  state.counters["best_ms"] = best * 1e3;
  state.counters["best_cpu_ms"] = bestCpu * 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const varno::bench::BenchFolder folder("follow");
  gPath = folder.path("trace.fst");
  prepare(gPath);
  benchmark::RegisterBenchmark("reload_1m_rows", BM_Reload)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("follow_round_1000_rows", BM_FollowRound)
      ->Iterations(20)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (gReloadSeconds > 0 && gRoundSeconds > 0)
    std::printf("round %.2f ms, reload %.0f ms: round/reload = 1/%.0f (target <= 1/100)\n", gRoundSeconds * 1e3,
                gReloadSeconds * 1e3, gReloadSeconds / gRoundSeconds);
  if (gReloadCpu > 0 && gRoundCpu > 0)
    std::printf("processor time: round %.2f ms, reload %.0f ms: round/reload = 1/%.0f\n", gRoundCpu * 1e3,
                gReloadCpu * 1e3, gReloadCpu / gRoundCpu);
  return 0;
}
