// varno-report: the plot window's results report, Statistics box and summary table, without the window.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "report/unattended_run.h"
#ifdef VARNO_WITH_FIGURES
#include "cli/figures.h"
#endif

namespace {

constexpr int kOk = 0;
constexpr int kFileFault = 1;
constexpr int kUsageFault = 2;

void printError(const std::string& message) { std::fprintf(stderr, "varno-report: %s\n", message.c_str()); }

void printWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings) printError("warning: " + w);
}

int failure(const varno::RunError& error) {
  if (error.fromArguments) {
    printError(error.message + " (see varno-report --help)");
    return kUsageFault;
  }
  printError(error.message);
  return kFileFault;
}

// The figures of a run whose report is written; the Qt part of the tool starts only here.
int runFigures(const varno::UnattendedReport& report, const varno::UnattendedOptions& options,
               const varno::FigureOptions& figures, bool printPaths) {
#ifdef VARNO_WITH_FIGURES
  const varno::FiguresResult written = varno::writeFigures(*report.charts, options, figures);
  if (written.error) return failure(*written.error);
  if (printPaths) {
    for (const std::string& path : written.paths) std::printf("%s\n", path.c_str());
  }
  return kOk;
#else
  (void)report, (void)options, (void)figures, (void)printPaths;
  printError("this build of varno-report cannot draw figures");
  return kFileFault;
#endif
}

int runReport(const varno::UnattendedOptions& options, const std::optional<varno::FigureOptions>& figures) {
  // "-": the report itself goes to standard output, in place of its path
  const bool toStandardOutput = options.outputPath && *options.outputPath == "-";
  varno::UnattendedResult result =
      toStandardOutput ? varno::buildUnattendedReport(options) : varno::runUnattendedReport(options);
  if (result.error) return failure(*result.error);
  printWarnings(result.report->warnings);
  if (toStandardOutput) {
    std::fwrite(result.report->text.data(), 1, result.report->text.size(), stdout);
  } else {
    std::printf("%s\n", result.report->path.c_str());
  }
  if (figures) return runFigures(*result.report, options, *figures, !toStandardOutput);
  return kOk;
}

int runColumn(const varno::ColumnStatisticsOptions& options) {
  varno::ColumnStatisticsResult result = varno::runColumnStatistics(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  const varno::StatisticsTexts& t = *result.texts;
  const std::pair<const char*, const std::string*> lines[] = {
      {"mean", &t.mean}, {"variance", &t.variance}, {"min", &t.min},           {"max", &t.max},
      {"mode", &t.mode}, {"hpdi", &t.hpdi},         {"width", &t.width}, {"accuracy", &t.accuracy},
      {"lambda", &t.lambda},
  };
  std::string out;
  for (const auto& [name, text] : lines) out.append(name).append("\t").append(*text).append("\n");
  std::fputs(out.c_str(), stdout);
  return kOk;
}

int runSummary(const varno::SummaryTableOptions& options) {
  varno::SummaryTableResult result = varno::runSummaryTable(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::fputs(result.text->c_str(), stdout);
  return kOk;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const varno::CliParse parse = varno::parseCliArguments(args);
    if (!parse.arguments) {
      printError(parse.error + " (see varno-report --help)");
      return kUsageFault;
    }
    int status = kOk;
    switch (parse.arguments->action) {
      case varno::CliAction::help:
        std::fputs(varno::usageText().c_str(), stdout);
        break;
      case varno::CliAction::version:
        std::fputs(varno::versionText().c_str(), stdout);
        break;
      case varno::CliAction::report:
        status = runReport(parse.arguments->report, parse.arguments->figures);
        break;
      case varno::CliAction::column:
        status = runColumn(parse.arguments->column);
        break;
      case varno::CliAction::summary:
        status = runSummary(parse.arguments->summary);
        break;
    }
    // A full disk or a closed pipe on standard output must not pass for success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      printError("cannot write to standard output");
      return kFileFault;
    }
    return status;
  } catch (const std::bad_alloc&) {
    printError("not enough memory");
  } catch (const std::exception& e) {
    printError(e.what());
  }
  return kFileFault;
}
