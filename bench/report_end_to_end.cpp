// The whole unattended report of a 1,000,000-row trace against only reading it; its peak memory against the table.
#include "process_memory.h"
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "core/data_file_reader.h"
#include "report/unattended_run.h"
#include "large_trace.h"

namespace {

using Clock = std::chrono::steady_clock;

using varno::bench::LargeTrace;
constexpr long long kRows = LargeTrace::kRows;
constexpr int kColumns = LargeTrace::kColumns;

std::string gData, gFactors, gReport;
double gReadSeconds = 0;
double gReportSeconds = 0;
double gPeakBytes = 0;
double gTableBytes = static_cast<double>(kRows) * kColumns * sizeof(float);

varno::UnattendedOptions reportOptions() {
  varno::UnattendedOptions o;
  o.dataPath = gData;
  o.factorsPath = gFactors;
  o.interaction = false;
  o.outputPath = gReport;
  return o;
}

void BM_ReadOnly(benchmark::State& state) { gReadSeconds = varno::bench::bestReadSeconds(state, gData); }

void BM_WholeReport(benchmark::State& state) {
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = Clock::now();
    varno::UnattendedResult r = varno::runUnattendedReport(reportOptions());
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    if (!r.report) {
      state.SkipWithError(r.error ? r.error->message.c_str() : "no report");
      return;
    }
  }
  gReportSeconds = best;
  if (gReadSeconds > 0) state.counters["report_over_read"] = best / gReadSeconds;
}

// The whole report in a child process, whose peak resident size then holds only this run.
void BM_WholeReportPeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    int fds[2];
    if (::pipe(fds) != 0) {
      state.SkipWithError("pipe failed");
      return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(fds[0]);
      varno::bench::resetPeakResidentSize();
      const long long before = varno::bench::statusKilobytes("VmHWM:");
      const varno::UnattendedResult r = varno::runUnattendedReport(reportOptions());
      const long long grown = r.report ? varno::bench::statusKilobytes("VmHWM:") - before : -1;
      const ssize_t written = ::write(fds[1], &grown, sizeof grown);
      ::_exit(written == sizeof grown ? 0 : 1);
    }
    ::close(fds[1]);
    long long grown = -1;
    const ssize_t got = ::read(fds[0], &grown, sizeof grown);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != sizeof grown || grown < 0) {
      state.SkipWithError("the child wrote no report");
      return;
    }
    gPeakBytes = static_cast<double>(grown) * 1024;
    state.counters["peak_MB"] = gPeakBytes / 1e6;
    state.counters["table_MB"] = gTableBytes / 1e6;
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int exitStatus = 0;
  try {
    const LargeTrace trace("report");
    gData = trace.data;
    gFactors = trace.factors;
    gReport = trace.dir + "/trace_res.txt";
    trace.generate();
    std::printf("table %.1f MB\n", gTableBytes / 1e6);

    benchmark::RegisterBenchmark("read_only", BM_ReadOnly)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("whole_report", BM_WholeReport)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("whole_report_peak_memory", BM_WholeReportPeakMemory)
        ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (gReadSeconds > 0 && gReportSeconds > 0)
      std::printf("whole report %.0f ms, read %.0f ms: report/read = %.2f (target <= 2.5)\n", gReportSeconds * 1e3,
                  gReadSeconds * 1e3, gReportSeconds / gReadSeconds);
    if (gPeakBytes > 0)
      std::printf("peak memory %.0f MB, table %.0f MB: limit 1.2 x table + 100 MB = %.0f MB (%s)\n", gPeakBytes / 1e6,
                  gTableBytes / 1e6, (1.2 * gTableBytes + 100e6) / 1e6,
                  gPeakBytes <= 1.2 * gTableBytes + 100e6 ? "within" : "over");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    exitStatus = 1;
  }
  return exitStatus;
}
