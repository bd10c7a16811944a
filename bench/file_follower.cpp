// Following a 1,000,000-row x 105-column .fst trace that grows by 1,000 rows: one round (open,
// check, read and parse the new rows) against a full read of the same file, as Reload does; and
// one poll of the analysis follower (the round and appending the rows to the chain's table)
// against opening the analysis anew.
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
#include "report/analysis_follower.h"
#include "report/open_analysis.h"
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
double gOpenSeconds = 0, gPollSeconds = 0;
double gOpenCpu = 0, gPollCpu = 0;

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

// The best wall and processor times of the timed part of each iteration, written to the state's
// counters and to `seconds` and `cpu`.
class BestTimes {
 public:
  void start() {
    start_ = Clock::now();
    cpuStart_ = cpuSeconds();
  }
  void stop() {
    best_ = std::min(best_, secondsSince(start_));
    bestCpu_ = std::min(bestCpu_, cpuSeconds() - cpuStart_);
  }
  void report(benchmark::State& state, double& seconds, double& cpu) const {
    seconds = best_;
    cpu = bestCpu_;
    state.counters["best_ms"] = best_ * 1e3;
    state.counters["best_cpu_ms"] = bestCpu_ * 1e3;
  }

 private:
  Clock::time_point start_;
  double cpuStart_ = 0;
  double best_ = std::numeric_limits<double>::max(), bestCpu_ = best_;
};

varno::AnalysisRequest analysisRequest() {
  varno::AnalysisRequest request;
  request.dataPath = gPath;
  return request;
}

// Opening the analysis anew, as Reload does.
void BM_OpenAnalysis(benchmark::State& state) {
  BestTimes times;
  for (auto _ : state) {
    times.start();
    varno::OpenedAnalysis analysis;
    std::vector<std::string> warnings;
    const std::optional<varno::RunError> error = varno::openAnalysis(analysisRequest(), analysis, warnings);
    times.stop();
    if (error || analysis.chains.front().table->rowCount() != kRows) {
      state.SkipWithError("the trace was not opened whole");
      return;
    }
  }
  times.report(state, gOpenSeconds, gOpenCpu);
}

// Each iteration appends the growth to the file and times the poll that takes it into the chain's
// table: the file grows as a sampler's does (run last: it leaves the file longer).
void BM_FollowAnalysis(benchmark::State& state) {
  std::filesystem::resize_file(gPath, static_cast<std::uintmax_t>(gBaseBytes));
  varno::OpenedAnalysis analysis;
  std::vector<std::string> warnings;
  if (varno::openAnalysis(analysisRequest(), analysis, warnings)) {
    state.SkipWithError("the trace was not opened");
    return;
  }
  varno::AnalysisFollower follower(analysis);
  std::vector<std::shared_ptr<const varno::SampleTable>> tables{analysis.chains.front().table};
  BestTimes times;
  for (auto _ : state) {
    state.PauseTiming();
    const int fd = ::open(gPath.c_str(), O_WRONLY | O_APPEND);
    const bool written = fd >= 0 && ::write(fd, gGrowth.data(), gGrowth.size()) == static_cast<ssize_t>(gGrowth.size());
    if (fd >= 0) ::close(fd);
    const int before = tables.front()->rowCount();
    state.ResumeTiming();
    times.start();
    const varno::AnalysisPoll poll = follower.poll(tables);
    times.stop();
    if (!written || poll.readAnew || poll.chains.front().change != varno::ChainChange::grown ||
        poll.chains.front().table->rowCount() != before + kGrowth) {
      state.SkipWithError(("the growth was not taken in: " + poll.readAnew.value_or(poll.chains.front().message)).c_str());
      return;
    }
    tables.front() = poll.chains.front().table;
  }
  times.report(state, gPollSeconds, gPollCpu);
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
  benchmark::RegisterBenchmark("open_analysis_1m_rows", BM_OpenAnalysis)
      ->Iterations(3)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("follow_analysis_1000_rows", BM_FollowAnalysis)
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
  if (gOpenSeconds > 0 && gPollSeconds > 0)
    std::printf("follower poll %.2f ms, opening anew %.0f ms: poll/open = 1/%.0f (target <= 1/100)\n",
                gPollSeconds * 1e3, gOpenSeconds * 1e3, gOpenSeconds / gPollSeconds);
  if (gOpenCpu > 0 && gPollCpu > 0)
    std::printf("processor time: poll %.2f ms, opening anew %.0f ms: poll/open = 1/%.0f\n", gPollCpu * 1e3,
                gOpenCpu * 1e3, gOpenCpu / gPollCpu);
  return 0;
}
