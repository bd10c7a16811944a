// varno-report on the 1 GB example: the report alone against the report and its five figures as
// PNG at 2x, both through the program as a pipeline runs it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "large_trace.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string gData, gFactors, gReport, gFigures;
double gReportSeconds = 0;
double gFiguresSeconds = 0;

// Runs the program to its end with its output discarded; true when it succeeded.
bool runTool(const std::vector<std::string>& args) {
  const std::string program = VARNO_BINARY_DIR "/varno-report";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null < 0 || ::dup2(null, 1) < 0) ::_exit(126);
    // as on a server: no display
    ::unsetenv("DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> reportArguments() { return {gData, gFactors, "--interaction", "no", "--output", gReport}; }

void measure(benchmark::State& state, const std::vector<std::string>& args, double& bestSeconds) {
  double best = std::numeric_limits<double>::max();
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!runTool(args)) {
      state.SkipWithError("varno-report failed");
      return;
    }
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  bestSeconds = best;
}

void BM_ReportAlone(benchmark::State& state) { measure(state, reportArguments(), gReportSeconds); }

void BM_ReportAndFigures(benchmark::State& state) {
  std::vector<std::string> args = reportArguments();
  args.insert(args.end(), {"--figures", gFigures, "--figure-format", "png", "--figure-scale", "2"});
  measure(state, args, gFiguresSeconds);
  if (gReportSeconds > 0 && gFiguresSeconds > 0) state.counters["figures_over_report"] = gFiguresSeconds / gReportSeconds;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  int exitStatus = 0;
  try {
    const varno::bench::LargeTrace trace("figures");
    gData = trace.data;
    gFactors = trace.factors;
    gReport = trace.dir + "/trace_res.txt";
    gFigures = trace.dir + "/figures";
    trace.generate();

    benchmark::RegisterBenchmark("report_alone", BM_ReportAlone)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("report_and_five_png_figures_2x", BM_ReportAndFigures)
        ->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (gReportSeconds > 0 && gFiguresSeconds > 0)
      std::printf("report and figures %.0f ms, report alone %.0f ms: ratio %.2f (target <= 1.3)\n",
                  gFiguresSeconds * 1e3, gReportSeconds * 1e3, gFiguresSeconds / gReportSeconds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    exitStatus = 1;
  }
  return exitStatus;
}
