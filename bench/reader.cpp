// Data file reader against a bare from_chars loop over the same bytes; peak memory against the table;
// a long run's exact counter against a short run's; a watched read against an unwatched one.
#include "process_memory.h"
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "bench_folder.h"
#include "core/data_file_reader.h"
#include "process_time.h"
#include "repeatable_random.h"

namespace {

using varno::bench::cpuSeconds;

constexpr int kRows = 200'000;
constexpr int kColumns = 108;  // iteration, Sigma², log likelihood, 100 Fst, model, 4 coefficients
constexpr int kSmallRows = 200;

using Clock = std::chrono::steady_clock;

std::string gBigFile, gSmallFile;
double gFloorSeconds = 0;   // best of the floor runs
double gFloorCpu = 0;       // its processor time
double gReaderSeconds = 0;  // best of the reader runs taken in turns with the floor
double gPeakRatio = 0;

void append(std::string& out, float v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
  out.append(buf, r.ptr);
}
void append(std::string& out, long long v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// Writes a sampler trace: one row per iteration, numbers as the sampler prints them.
void writeTrace(const std::string& path, int rows) {
  varno::bench::RepeatableRandom rnd{42};
  std::ofstream file(path, std::ios::binary);
  std::string chunk;
  for (int r = 0; r < rows; ++r) {
    append(chunk, static_cast<long long>(r + 1) * 50);
    chunk += ' ';
    append(chunk, static_cast<float>(0.01 + 2 * rnd.uniform()));
    chunk += ' ';
    append(chunk, static_cast<float>(-1500 + 300 * rnd.uniform()));
    for (int p = 0; p < 100; ++p) {
      chunk += ' ';
      append(chunk, static_cast<float>(0.001 + 0.3 * rnd.uniform() * rnd.uniform()));
    }
    chunk += ' ';
    append(chunk, static_cast<long long>(1 + rnd.next() % 8));
    for (int a = 0; a < 4; ++a) {
      chunk += ' ';
      append(chunk, static_cast<float>(6 * rnd.uniform() - 3));
    }
    chunk += '\n';
    if (chunk.size() > (4u << 20)) {
      file << chunk;
      chunk.clear();
    }
  }
  file << chunk;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The least any reader must do: every number of the file through from_chars, bytes in memory.
// Returns how many numbers it read.
long long floorPass(const std::string& bytes) {
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  float sum = 0;
  long long numbers = 0;
  for (;;) {
    while (p < end && (*p == ' ' || *p == '\n' || *p == '\t' || *p == '\r')) ++p;
    if (p == end) break;
    float v;
    auto r = std::from_chars(p, end, v);
    sum += v;
    ++numbers;
    p = r.ptr == p ? p + 1 : r.ptr;
  }
  benchmark::DoNotOptimize(sum);
  return numbers;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_FloorFromChars(benchmark::State& state) {
  const std::string bytes = slurp(gBigFile);
  double best = std::numeric_limits<double>::max();
  double bestCpu = best;
  long long numbers = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    double cpuStart = cpuSeconds();
    numbers = floorPass(bytes);
    best = std::min(best, secondsSince(start));
    bestCpu = std::min(bestCpu, cpuSeconds() - cpuStart);
  }
  gFloorSeconds = best;
  gFloorCpu = bestCpu;
  state.counters["numbers"] = static_cast<double>(numbers);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// Argument: the most threads the reader may use (0: one per core).
void BM_ReadDataFile(benchmark::State& state) {
  varno::ReadTuning tuning;
  tuning.maxThreads = static_cast<int>(state.range(0));
  double best = std::numeric_limits<double>::max();
  double bestCpu = best;
  for (auto _ : state) {
    auto start = Clock::now();
    double cpuStart = cpuSeconds();
    varno::DataFileReadResult r = varno::readDataFile(gBigFile, tuning);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    bestCpu = std::min(bestCpu, cpuSeconds() - cpuStart);
    if (!r.table || r.table->rowCount() != kRows || r.table->columnCount() != kColumns) {
      state.SkipWithError("the file was not read whole");
      return;
    }
  }
  if (gFloorSeconds > 0) state.counters["reader_over_floor"] = best / gFloorSeconds;
  if (gFloorCpu > 0) state.counters["cpu_over_floor_cpu"] = bestCpu / gFloorCpu;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(gBigFile)));
}

// As the window reads: a watched progress, reported to and checked for a cancel every few ms.
// Against the unwatched read of the same file, in turns, so that both see the same load.
void BM_ReadWatched(benchmark::State& state) {
  double bestWatched = std::numeric_limits<double>::max();
  double bestUnwatched = bestWatched;
  for (auto _ : state) {
    varno::Progress progress;
    auto start = Clock::now();
    varno::DataFileReadResult watched = varno::readDataFile(gBigFile, progress);
    bestWatched = std::min(bestWatched, std::chrono::duration<double>(Clock::now() - start).count());
    start = Clock::now();
    varno::DataFileReadResult unwatched = varno::readDataFile(gBigFile);
    bestUnwatched = std::min(bestUnwatched, std::chrono::duration<double>(Clock::now() - start).count());
    if (!watched.table || !unwatched.table || progress.fraction() != 1) {
      state.SkipWithError("the file was not read whole");
      return;
    }
  }
  state.counters["watched_over_unwatched"] = bestWatched / bestUnwatched;
}

// The floor and the reader in turns, so that both see the same load on a shared machine; the
// ratio of their best times is the figure to judge the reader by.
void BM_ReaderVersusFloor(benchmark::State& state) {
  const std::string bytes = slurp(gBigFile);
  double bestFloor = std::numeric_limits<double>::max();
  double bestReader = bestFloor;
  for (auto _ : state) {
    auto start = Clock::now();
    floorPass(bytes);
    bestFloor = std::min(bestFloor, secondsSince(start));
    start = Clock::now();
    varno::DataFileReadResult r = varno::readDataFile(gBigFile);
    bestReader = std::min(bestReader, secondsSince(start));
    if (!r.table || r.table->rowCount() != kRows) {
      state.SkipWithError("the file was not read whole");
      return;
    }
  }
  gFloorSeconds = bestFloor;
  gReaderSeconds = bestReader;
  state.counters["floor_ms"] = bestFloor * 1e3;
  state.counters["reader_ms"] = bestReader * 1e3;
  state.counters["reader_over_floor"] = bestReader / bestFloor;
}

// Reads the file in a child process, whose peak resident size then holds only this read.
void BM_ReadPeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    int fds[2];
    if (::pipe(fds) != 0) {
      state.SkipWithError("pipe failed");
      return;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      varno::bench::resetPeakResidentSize();
      long long before = varno::bench::statusKilobytes("VmHWM:");
      varno::DataFileReadResult r = varno::readDataFile(gBigFile);
      long long result[2] = {varno::bench::statusKilobytes("VmHWM:") - before,
                             r.table ? static_cast<long long>(r.table->cellCount() * sizeof(float)) : 0};
      ssize_t written = ::write(fds[1], result, sizeof result);
      ::_exit(written == sizeof result ? 0 : 1);
    }
    ::close(fds[1]);
    long long result[2] = {0, 0};
    ssize_t got = ::read(fds[0], result, sizeof result);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != sizeof result || result[1] == 0) {
      state.SkipWithError("the child did not read the file");
      return;
    }
    double peak = static_cast<double>(result[0]) * 1024;
    double table = static_cast<double>(result[1]);
    gPeakRatio = peak / table;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["table_MB"] = table / 1e6;
    state.counters["peak_over_table"] = gPeakRatio;
  }
}

// A narrow trace of a long run, whose counter passes 2^24 and is held exactly besides its floats,
// against a trace whose counter stays below it, read in turns: the ratio of their best processor times
// is the price of the exact counter where it weighs most (one number in two is the counter).
std::string gLongRunFile, gShortRunFile;
constexpr int kNarrowRows = 2'000'000;

void writeNarrowTrace(const std::string& path, long long firstIteration, long long step) {
  varno::bench::RepeatableRandom rnd{7};
  std::ofstream file(path, std::ios::binary);
  std::string chunk;
  for (int r = 0; r < kNarrowRows; ++r) {
    append(chunk, firstIteration + step * r);
    chunk += ' ';
    append(chunk, static_cast<float>(2 * rnd.uniform() - 1));
    chunk += '\n';
  }
  file << chunk;
}

void BM_LongRunCounter(benchmark::State& state) {
  double bestLong = std::numeric_limits<double>::max();
  double bestShort = bestLong;
  for (auto _ : state) {
    double start = cpuSeconds();
    varno::DataFileReadResult longRun = varno::readDataFile(gLongRunFile);
    bestLong = std::min(bestLong, cpuSeconds() - start);
    start = cpuSeconds();
    varno::DataFileReadResult shortRun = varno::readDataFile(gShortRunFile);
    bestShort = std::min(bestShort, cpuSeconds() - start);
    if (!longRun.table || longRun.table->exactFirstColumn().empty() || !shortRun.table) {
      state.SkipWithError("the traces were not read as expected");
      return;
    }
  }
  state.counters["long_run_cpu_ms"] = bestLong * 1e3;
  state.counters["short_run_cpu_ms"] = bestShort * 1e3;
  state.counters["long_over_short"] = bestLong / bestShort;
}

// A small file: the read must cost no thread starts worth mentioning.
void BM_ReadSmallFile(benchmark::State& state) {
  for (auto _ : state) {
    varno::DataFileReadResult r = varno::readDataFile(gSmallFile);
    benchmark::DoNotOptimize(r.table);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(gSmallFile)));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const varno::bench::BenchFolder folder("reader");
  gBigFile = folder.path("trace.fst");
  gSmallFile = folder.path("small.fst");
  writeTrace(gBigFile, kRows);
  writeTrace(gSmallFile, kSmallRows);
  gLongRunFile = folder.path("long_run.ml");
  gShortRunFile = folder.path("short_run.ml");
  writeNarrowTrace(gLongRunFile, 20'000'001, 10);
  writeNarrowTrace(gShortRunFile, 1, 8);  // up to 16,000,001: every float exact
  std::printf("generated %s: %.1f MB, %d rows x %d columns\n", gBigFile.c_str(),
              static_cast<double>(std::filesystem::file_size(gBigFile)) / 1e6, kRows, kColumns);

  benchmark::RegisterBenchmark("floor_from_chars", BM_FloorFromChars)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("readDataFile", BM_ReadDataFile)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("readDataFile_watched", BM_ReadWatched)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("reader_versus_floor", BM_ReaderVersusFloor)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("readDataFile_peak_memory", BM_ReadPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("readDataFile_long_run_counter", BM_LongRunCounter)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("readDataFile_small", BM_ReadSmallFile)->Unit(benchmark::kMicrosecond)->UseRealTime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  if (gFloorSeconds > 0 && gReaderSeconds > 0)
    std::printf("reader %.0f ms, floor %.0f ms: reader/floor = %.2f (target <= 1.5)\n", gReaderSeconds * 1e3,
                gFloorSeconds * 1e3, gReaderSeconds / gFloorSeconds);
  if (gPeakRatio > 0) std::printf("peak memory / table = %.3f (target <= 1.10)\n", gPeakRatio);
  return 0;
}
