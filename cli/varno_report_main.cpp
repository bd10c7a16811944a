// varno-report: the plot window's results report, Statistics box, summary, models and chains tables
// and the export of the retained draws, without the window.
#include <cstdio>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/followed_summary.h"
#include "core/freed_buffer_reuse.h"
#include "report/atomic_write.h"
#include "report/ess_by_burn_in_table.h"
#include "report/ess_profile_table.h"
#include "report/json_text.h"
#include "report/output_target.h"
#include "report/report_record.h"
#include "report/results_report.h"
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

// What --burn-in auto took, said on standard error as it is taken and kept for the record.
std::optional<varno::TakenBurnIn> takenBurnIn;

void watchAutoBurnIn(std::optional<varno::AutoBurnIn>& request) {
  if (!request) return;
  request->taken = [](const varno::TakenBurnIn& taken) {
    if (!taken.line.empty()) printError(taken.line);
    takenBurnIn = taken;
  };
}

int failure(const varno::RunError& error) {
  if (error.fromArguments) {
    printError(error.message + " (see varno-report --help)");
    return kUsageFault;
  }
  printError(error.message);
  return kFileFault;
}

// Where the figures of a run go, checked before anything is written (see figureTargets).
std::optional<varno::RunError> figuresFault(const varno::UnattendedOptions& options,
                                            const varno::FigureOptions& figures, std::optional<int> columnCount,
                                            const std::vector<std::string>& others) {
#ifdef VARNO_WITH_FIGURES
  std::vector<std::string> paths;
  return varno::figureTargets(options, figures, columnCount, others, paths);
#else
  (void)options, (void)figures, (void)columnCount, (void)others;
  return varno::RunError{"this build of varno-report cannot draw figures"};
#endif
}

// The figures of a run whose report is written; the Qt part of the tool starts only here.
int runFigures(const varno::UnattendedReport& report, const varno::UnattendedOptions& options,
               const varno::FigureOptions& figures, bool printPaths, std::vector<std::string>& paths) {
#ifdef VARNO_WITH_FIGURES
  varno::FiguresResult written = varno::writeFigures(*report.charts, options, figures);
  if (written.error) return failure(*written.error);
  if (printPaths) {
    for (const std::string& path : written.paths) std::printf("%s\n", path.c_str());
  }
  paths = std::move(written.paths);
  return kOk;
#else
  (void)report, (void)options, (void)figures, (void)printPaths, (void)paths;
  printError("this build of varno-report cannot draw figures");
  return kFileFault;
#endif
}

// Refused before any reading: a record that would land on an input or on the report itself.
std::optional<varno::RunError> recordTargetFault(const varno::UnattendedOptions& options, const std::string& record) {
  const std::string report = options.outputPath ? *options.outputPath : varno::batchReportName(options.dataPath);
  if (varno::absolutePath(record) == varno::absolutePath(report))
    return varno::RunError{"--record must name another file than the report", true};
  std::vector<varno::InputFile> inputs = varno::runInputs(options.dataPath, options.factorsPath, options.chainPaths);
  inputs.push_back({"report", report});
  if (auto why = varno::inputFileTargeted(record, inputs))
    return varno::RunError{"--record: " + *why, true};
  return std::nullopt;
}

// The record of a report (and its figures) that were written.
int writeRecord(const std::string& recordPath, const varno::UnattendedOptions& options,
                const varno::UnattendedReport& report, const std::optional<varno::FigureOptions>& figures,
                const std::vector<std::string>& figurePaths) {
  varno::ReportRun run;
  run.program = "varno-report";
  run.options = options;
  run.reportPath = report.path;
  run.rowCount = 0;
  for (const varno::ChainRows& chain : report.charts->chains) run.rowCount += chain.table->rowCount();
  run.decision = report.charts->decision;
  if (options.autoBurnIn) run.burnInTaken = takenBurnIn;
  if (options.burnInShare)
    for (const varno::ChainRows& chain : report.charts->chains) run.chainBurnIns.push_back(chain.rows.begin);
  std::string why;
  std::optional<varno::ProvenanceRecord> record = varno::reportRecord(run, &why);
  if (!record) return failure(varno::RunError{why + "; no record was written"});
  if (figures) {
    record->command.insert(record->command.end(),
                           {"--figures", varno::absolutePath(figures->folder), "--figure-format", figures->format,
                            "--figure-scale", varno::jsonNumber(figures->scale)});
    if (figures->column) record->command.insert(record->command.end(), {"--column", varno::jsonNumber(*figures->column)});
    for (const std::string& path : figurePaths) record->outputs.push_back(varno::absolutePath(path));
  }
  if (auto error = varno::writeFileAtomically(recordPath, varno::provenanceJson(*record)))
    return failure(varno::RunError{*error});
  std::printf("%s\n", recordPath.c_str());
  return kOk;
}

int runReport(const varno::UnattendedOptions& options, const std::optional<varno::FigureOptions>& figures,
              const std::optional<std::string>& record) {
  // every output is checked before any is written, so that a refused run leaves nothing behind:
  // first what can be told before reading, then what the data file decides
  // "-": the report itself goes to standard output, in place of its path
  const bool toStandardOutput = options.outputPath && *options.outputPath == "-";
  std::vector<std::string> outputs;
  if (!toStandardOutput) {
    if (auto fault = varno::reportTargetFault(options)) return failure(*fault);
    outputs.push_back(options.outputPath ? *options.outputPath : varno::batchReportName(options.dataPath));
  }
  if (record) {
    if (auto fault = recordTargetFault(options, *record)) return failure(*fault);
    outputs.push_back(*record);
  }
  if (figures) {
    if (auto fault = figuresFault(options, *figures, std::nullopt, outputs)) return failure(*fault);
  }
  varno::UnattendedResult result = varno::buildUnattendedReport(options);
  if (result.error) return failure(*result.error);
  if (figures) {
    if (auto fault = figuresFault(options, *figures, result.report->charts->chains.front().table->columnCount(), outputs)) {
      printWarnings(result.report->warnings);
      return failure(*fault);
    }
  }
  if (!toStandardOutput) {
    if (auto error = varno::writeFileAtomically(result.report->path, result.report->text))
      return failure(varno::RunError{*error});
  }
  printWarnings(result.report->warnings);
  if (toStandardOutput) {
    std::fwrite(result.report->text.data(), 1, result.report->text.size(), stdout);
  } else {
    std::printf("%s\n", result.report->path.c_str());
  }
  std::vector<std::string> figurePaths;
  if (figures) {
    if (const int status = runFigures(*result.report, options, *figures, !toStandardOutput, figurePaths); status != kOk)
      return status;
  }
  if (record) return writeRecord(*record, options, *result.report, figures, figurePaths);
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

int printEssByBurnIn(const varno::ColumnStatisticsOptions& options) {
  varno::EssByBurnInResult result = varno::runEssByBurnIn(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::fputs(result.text->c_str(), stdout);
  return kOk;
}

int printEssProfile(const varno::ColumnStatisticsOptions& options) {
  varno::EssProfileResult result = varno::runEssProfile(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::fputs(result.text->c_str(), stdout);
  return kOk;
}

int runSummary(const varno::SummaryTableOptions& options) {
  varno::SummaryTableResult result = varno::runSummaryTable(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::fputs(result.text->c_str(), stdout);
  return kOk;
}

int runModels(const varno::ModelEvidenceOptions& options) {
  varno::ModelEvidenceResult result = varno::runModelEvidence(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::fputs(result.text->c_str(), stdout);
  return kOk;
}

int printChainsTable(const varno::ChainsTableOptions& options) {
  varno::ChainsTableResult result = varno::runChainsTable(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::fputs(result.text->c_str(), stdout);
  return kOk;
}

int exportDraws(const varno::DrawsExportOptions& options) {
  varno::DrawsExportResult result = varno::runDrawsExport(options);
  printWarnings(result.warnings);
  if (result.error) return failure(*result.error);
  std::printf("%s\n", options.outputPath.c_str());
  return kOk;
}

}  // namespace

int main(int argc, char** argv) {
  varno::keepFreedBuffersForReuse();
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    varno::CliParse parse = varno::parseCliArguments(args);
    if (!parse.arguments) {
      printError(parse.error + " (see varno-report --help)");
      return kUsageFault;
    }
    for (std::optional<varno::AutoBurnIn>* request :
         {&parse.arguments->report.autoBurnIn, &parse.arguments->column.autoBurnIn, &parse.arguments->summary.autoBurnIn,
          &parse.arguments->models.autoBurnIn, &parse.arguments->chains.autoBurnIn,
          &parse.arguments->exportDraws.autoBurnIn})
      watchAutoBurnIn(*request);
    int status = kOk;
    switch (parse.arguments->action) {
      case varno::CliAction::help:
        std::fputs(varno::usageText().c_str(), stdout);
        break;
      case varno::CliAction::version:
        std::fputs(varno::versionText().c_str(), stdout);
        break;
      case varno::CliAction::report:
        status = runReport(parse.arguments->report, parse.arguments->figures, parse.arguments->record);
        break;
      case varno::CliAction::column:
        status = runColumn(parse.arguments->column);
        break;
      case varno::CliAction::essByBurnIn:
        status = printEssByBurnIn(parse.arguments->column);
        break;
      case varno::CliAction::essProfile:
        status = printEssProfile(parse.arguments->column);
        break;
      case varno::CliAction::summary:
        status = parse.arguments->follow ? varno::followSummary(parse.arguments->summary, *parse.arguments->follow, failure)
                                         : runSummary(parse.arguments->summary);
        break;
      case varno::CliAction::models:
        status = parse.arguments->follow ? varno::followModels(parse.arguments->models, *parse.arguments->follow, failure)
                                         : runModels(parse.arguments->models);
        break;
      case varno::CliAction::chainsTable:
        status = printChainsTable(parse.arguments->chains);
        break;
      case varno::CliAction::exportDraws:
        status = exportDraws(parse.arguments->exportDraws);
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
