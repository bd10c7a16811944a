// The unattended run and the Statistics box of one column, on plain data, for the window and the headless tool.
#include "report/unattended_run.h"

#include <charconv>
#include <utility>

#include "core/chain_match.h"
#include "core/coda_reader.h"
#include "core/column_catalogue.h"
#include "core/file_kind.h"
#include "core/input_file.h"
#include "core/model_numbering.h"
#include "core/read_notes.h"
#include "core/text_pieces.h"
#include "report/atomic_write.h"
#include "report/chain_outputs.h"
#include "report/output_target.h"
#include "report/results_report.h"
#include "report/summary_table.h"
#include "stats/column_sample.h"
#include "stats/pooled_sample.h"
#include "stats/column_statistics.h"
#include "stats/default_bandwidth.h"
#include "stats/model_column_check.h"
#include "stats/model_summary.h"

namespace varno {

namespace {

RunError fileError(std::string message) { return RunError{std::move(message), false}; }
RunError argumentError(std::string message) { return RunError{std::move(message), true}; }

// The text of the factors file, or the error naming it.
std::optional<RunError> readFactorsText(const std::string& path, std::string& text) {
  std::string why;
  std::optional<std::string> content = readTextFile(path, &why);
  if (!content) return fileError(why);
  text = std::move(*content);
  return std::nullopt;
}

// The data file read into a table; a partial read and rows with extra numbers are warnings.
std::optional<RunError> readTable(const std::string& path, const RunHooks& hooks,
                                  std::shared_ptr<const SampleTable>& table, std::vector<std::string>& warnings) {
  DataFileReadResult read = readDataFile(path, hooks.yield);
  if (!read.table) return fileError(read.error);
  for (const std::string& note : readNotes(read)) warnings.push_back(quoted(path) + ": " + note);
  table = std::move(read.table);
  return std::nullopt;
}

// The chains of an index: those beside it, then the named ones; refused when there is none.
std::optional<RunError> readIndexedChains(const std::string& indexPath, const std::vector<std::string>& named,
                                          const RunHooks& hooks, std::vector<CodaChain>& chains) {
  const std::vector<std::string> files = codaChainFiles(indexPath, named);
  CodaReadResult read = files.empty() ? readCoda(indexPath, hooks.yield) : readCoda(indexPath, files, hooks.yield);
  if (read.chains.empty()) {
    if (files.empty()) read.error += "; name the chain files with --chain";
    return fileError(read.error);
  }
  chains = std::move(read.chains);
  return std::nullopt;
}

std::optional<RunError> checkFstLayout(const std::string& path, const SampleTable& table, int factorCount) {
  if (auto why = fstLayoutError(table.columnCount(), factorCount)) return fileError(quoted(path) + ": " + *why);
  return std::nullopt;
}

// The factor decision of a run, reading the factors file when one is named.
std::optional<RunError> factorsOf(const std::string& factorsPath, std::optional<int> factorMode,
                                  std::optional<bool> interaction, const RunHooks& hooks,
                                  FactorDecision& decision, std::string& factorsText) {
  if (auto error = readFactorsText(factorsPath, factorsText)) return error;
  if (auto error = decideFactors(factorMode, factorsText, interaction, hooks.askInteraction, decision)) {
    error->message = quoted(factorsPath) + " " + error->message;
    return error;
  }
  return std::nullopt;
}

// A model number the factor decision has, or 0 for all models.
std::optional<RunError> checkModelChoice(int modelFilter, const FactorDecision& decision, const std::string& factorsPath) {
  if (modelFilter < 0) return argumentError("the model number must not be negative");
  const int models = modelCount(decision.factorCount, decision.hasInteraction);
  if (modelFilter > models) {
    return argumentError("--model " + decimal(modelFilter) + " is not a model of " + quoted(factorsPath) +
                         ": its factors give models 1 to " + decimal(models) + " (0 takes all models)");
  }
  return std::nullopt;
}

// Refused before any reading: one file named as two chains (an index's chain files included).
std::optional<RunError> repeatedChain(const std::string& dataPath, const std::vector<std::string>& chainPaths) {
  std::vector<std::string> files;
  if (isCodaIndex(dataPath)) {
    files = codaChainFiles(dataPath, chainPaths);
  } else {
    files.push_back(dataPath);
    files.insert(files.end(), chainPaths.begin(), chainPaths.end());
  }
  if (auto why = repeatedChainFile(files)) return argumentError(*why);
  return std::nullopt;
}

// What to check when the factor decision does not fit the data file: the factors file when its
// lines were counted, otherwise the mode that set the count.
std::string decisionHint(std::optional<int> factorMode, const std::string& factorsPath, std::string_view factorsText) {
  if (factorsPath.empty() && !factorMode)
    return "it was read without a factors file, as having no environmental factors; if it was written with "
           "them, give its factors file after the data file";
  if (factorMode.value_or(-1) == -1) return factorsFileHint(factorsPath, factorsText);
  const int mode = *factorMode;
  return "MODE " + decimal(mode) +
         (mode == 0   ? " sets two factors"
          : mode == 1 ? " sets two factors and their interaction"
                      : " sets no factors") +
         "; was the data file written with them?";
}

// The fst table against the factor decision and the factors file (when one is named): a model
// column that holds no model numbers or a factors file that does not fit stops the run; rows of unknown models and
// doubtful factor lines are warnings.
std::optional<RunError> checkFstAgainstFactors(const std::string& dataPath, const SampleTable& table,
                                               const FactorDecision& decision, RowRange rows,
                                               std::optional<int> factorMode, const std::string& factorsPath,
                                               std::string_view factorsText, std::vector<std::string>& warnings) {
  const TableLayout layout = TableLayout::fst(table.columnCount(), decision);
  const int populationCount = layout.populationCount;
  const ModelColumnCheck models = checkModelColumn(table, layout, rows);
  if (models.mismatch) {
    return fileError(quoted(dataPath) + ": " + *models.mismatch + ": " +
                     decisionHint(factorMode, factorsPath, factorsText));
  }
  if (models.rowsOutsideModels > 0)
    warnings.push_back(quoted(dataPath) + ": " + rowsOutsideModelsNote(models.rowsOutsideModels, models.modelCount));
  if (factorsPath.empty()) return std::nullopt;
  for (const FactorsFileNote& note : checkFactorsFile(factorsText, populationCount, factorLinesNeeded(decision))) {
    if (note.fault) return fileError(factorsFileNoteText(factorsPath, note));
    warnings.push_back(factorsFileNoteText(factorsPath, note));
  }
  return std::nullopt;
}

// Each further chain read, checked against the first (kind before reading, columns after) and
// given its retained rows; `check` adds what the first chain was checked for. `chains` starts with
// the first chain.
std::optional<RunError> readChains(const std::string& dataPath, const SampleTable& first,
                                   const std::vector<std::string>& chainPaths, long long burnIn, long long burnOut,
                                   const RunHooks& hooks, std::vector<ChainRows>& chains,
                                   std::vector<std::string>& warnings,
                                   const std::function<std::optional<RunError>(const std::string&, const SampleTable&,
                                                                               RowRange)>& check) {
  for (const std::string& path : chainPaths) {
    if (auto why = chainKindMismatch(dataPath, path)) return argumentError(*why);
    std::shared_ptr<const SampleTable> table;
    if (auto error = readTable(path, hooks, table, warnings)) return error;
    if (auto why = chainMismatch(dataPath, first.columnCount(), path, table->columnCount())) return fileError(*why);
    RowRange rows;
    if (auto error = checkedRetainedRows(burnIn, burnOut, table->rowCount(), rows)) {
      error->message = quoted(path) + ": " + error->message;
      return error;
    }
    if (check) {
      if (auto error = check(path, *table, rows)) return error;
    }
    chains.push_back({std::move(table), rows});
  }
  return std::nullopt;
}

}  // namespace

std::optional<RunError> decideFactors(std::optional<int> factorMode, std::string_view factorsText,
                                      std::optional<bool> interaction, const std::function<bool()>& askInteraction,
                                      FactorDecision& decision) {
  const int mode = factorMode.value_or(-1);
  // an answer about the interaction that the mode or the file contradicts is a usage fault
  if (interaction && mode != -1) {
    if (*interaction != (mode == 1)) {
      const std::string modeText = mode == 0   ? " (two factors without their interaction)"
                                   : mode == 1 ? " (two factors and their interaction)"
                                               : " (no factors)";
      return argumentError("is read with MODE " + decimal(mode) + modeText + ", which conflicts with --interaction " +
                           (*interaction ? "yes" : "no"));
    }
  }
  bool unanswered = false;
  int lineCount = -1;  // stays -1 when the mode sets the count
  decision = decideFactorCount(
      mode, [&] { return lineCount = countFactorLines(factorsText); },
      [&] {
        if (interaction) return *interaction;
        if (askInteraction) return askInteraction();
        unanswered = true;
        return false;
      });
  if (unanswered) {
    return argumentError(
        "holds two factor lines: pass --interaction yes|no to say whether the model includes their "
        "interaction G1*G2");
  }
  if (interaction && *interaction && lineCount >= 0 && lineCount != 2) {
    return argumentError("holds " + counted(lineCount, "factor line", "factor lines") +
                         ", which conflicts with --interaction yes: the interaction G1*G2 needs exactly two");
  }
  return std::nullopt;
}

std::optional<RunError> checkedRetainedRows(long long burnIn, long long burnOut, int rowCount, RowRange& rows) {
  if (burnIn < 0 || burnOut < 0)
    return argumentError("the burn-in and burn-out must not be negative");
  if (rowCount < 2)
    return fileError("the file holds " + counted(rowCount, "row", "rows") + "; at least two are needed");
  // Compared without subtracting, so that huge values cannot overflow.
  if (burnIn > rowCount - 2 || burnOut > rowCount - 2 - burnIn) {
    const long long left = burnIn + burnOut >= rowCount ? 0 : rowCount - burnIn - burnOut;
    return argumentError("a burn-in of " + decimal(burnIn) + " and a burn-out of " + decimal(burnOut) +
                         " leave " + decimal(left) + " of the " + counted(rowCount, "row", "rows") +
                         "; at least two rows must remain");
  }
  rows = RowRange{static_cast<int>(burnIn), rowCount - static_cast<int>(burnOut)};
  return std::nullopt;
}

std::optional<RunError> buildReportText(const std::shared_ptr<const SampleTable>& table,
                                        const FactorDecision& decision, std::string_view factorsText,
                                        RowRange rows, const RunHooks& hooks, std::string& text,
                                        UnattendedCharts* charts) {
  const std::vector<ChainRows> chains{{table, rows}};
  return buildReportText(chains, decision, factorsText, hooks, text, charts);
}

std::optional<RunError> buildReportText(std::span<const ChainRows> chains, const FactorDecision& decision,
                                        std::string_view factorsText, const RunHooks& hooks, std::string& text,
                                        UnattendedCharts* charts, int modelFilter) {
  if (chains.empty() || !chains[0].table) return fileError("no data");
  const std::shared_ptr<const SampleTable>& table = chains[0].table;
  const RowRange rows = chains[0].rows;
  const int populationCount = TableLayout::fst(table->columnCount(), decision).populationCount;
  if (populationCount < 0) return fileError("the table has too few columns for the factors");

  ModelSummaryInput input;
  input.table = table;
  input.populationCount = populationCount;
  input.factorCount = decision.factorCount;
  input.hasInteraction = decision.hasInteraction;
  input.rows = rows;
  if (chains.size() > 1) input.chains.assign(chains.begin(), chains.end());
  input.modelFilter = modelFilter;
  input.fstSummary.reset(static_cast<std::size_t>(populationCount));
  input.coefficientSummary.reset(static_cast<std::size_t>(decision.factorCount) + 1);
  ModelSummaryResult summary = computeModelSummary(input, hooks.progress, hooks.cancel);
  if (!summary.error.empty()) return fileError("the model summary cannot be computed: " + summary.error);
  if (summary.cancelled) return fileError("the model summary was cancelled");

  ReportInputs in;
  in.populationCount = populationCount;
  in.factorCount = decision.factorCount;
  in.hasInteraction = decision.hasInteraction;
  in.fstSummary = std::move(summary.fstSummary);
  in.factorValues = factorValueRows(readFactorLineValues(factorsText, populationCount), populationCount, decision);
  in.modelProbabilities = summary.modelProbabilities;
  in.bestModel = summary.bestModel;
  in.coefficientSummary = std::move(summary.coefficientSummary);
  in.sigmaSummary = summary.sigmaSummary;
  in.rowCount = table->rowCount();
  in.burnIn = rows.begin;
  in.burnOut = table->rowCount() - rows.end;
  if (chains.size() > 1) {
    // the report's probabilities divide by the pooled retained rows
    long long retained = 0;
    for (const ChainRows& chain : chains) retained += chain.rows.count();
    in.rowCount = static_cast<int>(retained);
    in.burnIn = 0;
    in.burnOut = 0;
  }
  if (auto missing = reportPrecondition(in)) return fileError("the report cannot be written: " + *missing);
  text = buildResultsReport(in);
  if (charts) {
    charts->table = table;
    charts->rows = rows;
    if (chains.size() > 1) charts->chains.assign(chains.begin(), chains.end());
    charts->decision = decision;
    charts->populationCount = populationCount;
    charts->modelBars = std::move(summary.modelBars);
    charts->hpdis = std::move(summary.hpdis);
    charts->fstMeans = in.fstSummary.mean;
    charts->factorValues = in.factorValues;
  }
  return std::nullopt;
}

UnattendedResult buildUnattendedReport(const UnattendedOptions& options, const RunHooks& hooks) {
  UnattendedResult result;
  auto fail = [&](RunError error) {
    result.error = std::move(error);
    return result;
  };
  if (fileKindOf(lowerCasedExtension(options.dataPath)) != FileKind::fst) {
    return fail(fileError(quoted(options.dataPath) +
                          " is not an .fst file: the results report needs the trace of a regression model"));
  }

  if (auto error = repeatedChain(options.dataPath, options.chainPaths)) return fail(std::move(*error));
  FactorDecision decision;
  std::string factorsText;
  if (auto error = factorsOf(options.factorsPath, options.factorMode, options.interaction, hooks, decision,
                             factorsText))
    return fail(std::move(*error));
  if (auto error = checkModelChoice(options.modelFilter, decision, options.factorsPath)) return fail(std::move(*error));

  UnattendedReport report;
  std::shared_ptr<const SampleTable> table;
  if (auto error = readTable(options.dataPath, hooks, table, report.warnings)) return fail(std::move(*error));
  if (auto error = checkFstLayout(options.dataPath, *table, decision.factorCount)) return fail(std::move(*error));

  RowRange rows;
  if (auto error = checkedRetainedRows(options.burnIn, options.burnOut, table->rowCount(), rows)) {
    error->message = quoted(options.dataPath) + ": " + error->message;
    return fail(std::move(*error));
  }
  if (auto error = checkFstAgainstFactors(options.dataPath, *table, decision, rows, options.factorMode,
                                          options.factorsPath, factorsText, report.warnings))
    return fail(std::move(*error));
  std::vector<ChainRows> chains{{table, rows}};
  if (auto error = readChains(options.dataPath, *table, options.chainPaths, options.burnIn, options.burnOut, hooks,
                              chains, report.warnings,
                              [&](const std::string& path, const SampleTable& chain, RowRange chainRows) {
                                return checkFstAgainstFactors(path, chain, decision, chainRows, options.factorMode,
                                                              options.factorsPath, factorsText, report.warnings);
                              }))
    return fail(std::move(*error));
  auto charts = std::make_shared<UnattendedCharts>();
  if (auto error = buildReportText(chains, decision, factorsText, hooks, report.text, charts.get(), options.modelFilter)) {
    error->message = quoted(options.dataPath) + ": " + error->message;
    return fail(std::move(*error));
  }
  report.charts = std::move(charts);
  report.path = options.outputPath ? *options.outputPath : batchReportName(options.dataPath);
  result.report = std::move(report);
  return result;
}

std::optional<RunError> reportTargetFault(const UnattendedOptions& options) {
  const std::string target = options.outputPath ? *options.outputPath : batchReportName(options.dataPath);
  if (auto why = inputFileTargeted(target, runInputs(options.dataPath, options.factorsPath, options.chainPaths)))
    return argumentError(*why);
  return std::nullopt;
}

UnattendedResult runUnattendedReport(const UnattendedOptions& options, const RunHooks& hooks) {
  // refused before any reading: nothing the run finds could make that target right
  if (auto fault = reportTargetFault(options)) {
    UnattendedResult refused;
    refused.error = std::move(fault);
    return refused;
  }
  UnattendedResult result = buildUnattendedReport(options, hooks);
  if (!result.report) return result;
  if (auto why = writeFileAtomically(result.report->path, result.report->text)) {
    result.error = fileError(*why);
    result.report.reset();
  }
  return result;
}

std::optional<RunError> openColumnData(const ColumnDataOptions& options, const RunHooks& hooks, ColumnData& data,
                                       std::vector<std::string>& warnings) {
  const FileKind kind = fileKindOf(lowerCasedExtension(options.dataPath));
  const bool factorsKnown = !options.factorsPath.empty() || options.factorMode.has_value();
  if (options.modelFilter != 0 && (kind != FileKind::fst || !factorsKnown))
    return argumentError("a model can be chosen only for an .fst file with its factors file");
  if (options.modelFilter < 0) return argumentError("the model number must not be negative");
  if (auto error = repeatedChain(options.dataPath, options.chainPaths)) return error;
  if (options.levelPercent < 1 || options.levelPercent > 99)
    return argumentError("the HPDI level must be a whole percentage from 1 to 99");

  // An fst file without a factors file is read as having no factors, as when the user says so.
  FactorDecision decision;
  std::string factorsText;
  if (kind == FileKind::fst && !options.factorsPath.empty()) {
    if (auto error = factorsOf(options.factorsPath, options.factorMode, options.interaction, hooks, decision,
                               factorsText))
      return error;
    if (auto error = checkModelChoice(options.modelFilter, decision, options.factorsPath)) return error;
  } else if (kind == FileKind::fst && options.factorMode) {
    decision = decideFactorCount(*options.factorMode, [] { return 0; }, [] { return false; });
  } else if (kind != FileKind::fst && !options.factorsPath.empty()) {
    warnings.push_back("the factors file is used only with .fst data files; " + quoted(options.factorsPath) +
                       " is not read");
  }

  std::shared_ptr<const SampleTable> table;
  // an index reads its chains, and the first is the table of the run
  std::vector<CodaChain> indexed;
  if (kind == FileKind::other && isCodaIndex(options.dataPath)) {
    if (auto error = readIndexedChains(options.dataPath, options.chainPaths, hooks, indexed)) return error;
    table = indexed.front().table;
  } else if (auto error = readTable(options.dataPath, hooks, table, warnings)) {
    return error;
  }

  TableLayout layout{kind};
  if (kind == FileKind::fst) {
    if (auto error = checkFstLayout(options.dataPath, *table, decision.factorCount)) return error;
    layout = TableLayout::fst(table->columnCount(), decision);
  } else if (kind == FileKind::frq) {
    if (auto why = frqLayoutError(table->rowCount(), frqAlleleCounts(*table)))
      return fileError(quoted(options.dataPath) + ": " + *why);
  } else if (auto why = otherLayoutError(table->columnCount())) {
    return fileError(quoted(options.dataPath) + ": " + *why);
  }

  RowRange rows;
  if (auto error = checkedRetainedRows(options.burnIn, options.burnOut, table->rowCount(), rows)) {
    error->message = quoted(options.dataPath) + ": " + error->message;
    return error;
  }
  // the factor decision places the model column, with a factors file or without one, as the
  // window checks it when it opens the file
  if (kind == FileKind::fst) {
    if (auto error = checkFstAgainstFactors(options.dataPath, *table, decision, rows, options.factorMode,
                                            options.factorsPath, factorsText, warnings))
      return error;
  }
  std::vector<ChainRows> chains{{table, rows}};
  for (std::size_t c = 1; c < indexed.size(); ++c) {
    RowRange chainRows;
    if (auto error = checkedRetainedRows(options.burnIn, options.burnOut, indexed[c].table->rowCount(), chainRows)) {
      error->message = quoted(indexed[c].fileName) + ": " + error->message;
      return error;
    }
    chains.push_back({indexed[c].table, chainRows});
  }
  const bool checkFactors = kind == FileKind::fst;
  // the chains an index names were read with it
  const std::vector<std::string> further = indexed.empty() ? options.chainPaths : std::vector<std::string>{};
  if (auto error = readChains(
          options.dataPath, *table, further, options.burnIn, options.burnOut, hooks, chains, warnings,
          [&](const std::string& path, const SampleTable& chain, RowRange chainRows) -> std::optional<RunError> {
            if (!checkFactors) return std::nullopt;
            return checkFstAgainstFactors(path, chain, decision, chainRows, options.factorMode, options.factorsPath,
                                          factorsText, warnings);
          }))
    return error;
  data = ColumnData{std::move(table), kind, decision, layout, rows, std::move(chains)};
  return std::nullopt;
}

namespace {

// The 1-based column a name stands for: a name of the header line or the name the tool shows for
// it (the column chooser's: "Fst1", "Sigma ²", "Column 3"); refused when no column or several bear it.
std::optional<RunError> columnNamed(const std::string& dataPath, const ColumnData& data, const std::string& name,
                                    int& column) {
  const SampleTable& table = *data.table;
  const std::vector<std::string>& header = table.columnNames();
  const std::vector<std::string> shown = summaryColumnNames(table, data.layout);
  auto bears = [&](const std::vector<std::string>& names, std::size_t c) {
    return c < names.size() && names[c] == name;
  };
  std::vector<int> found;
  for (std::size_t c = 0; c < static_cast<std::size_t>(table.columnCount()); ++c)
    if (bears(header, c) || bears(shown, c)) found.push_back(static_cast<int>(c) + 1);
  if (found.size() == 1) {
    column = found.front();
    return std::nullopt;
  }
  std::string list;
  for (std::size_t c = 0; c < shown.size(); ++c)
    list += (c ? ", " : "") + decimal(static_cast<long long>(c) + 1) + " " + shown[c];
  if (found.empty())
    return argumentError("--column " + quoted(name) + ": " + quoted(dataPath) + " has no column of that name; its columns are " + list);
  std::string numbers;
  for (std::size_t k = 0; k < found.size(); ++k) numbers += (k ? " and " : "") + decimal(found[k]);
  return argumentError("--column " + quoted(name) + ": " + quoted(dataPath) + " names columns " + numbers +
                       " so; give the column number");
}

}  // namespace

ColumnStatisticsResult runColumnStatistics(const ColumnStatisticsOptions& options, const RunHooks& hooks) {
  ColumnStatisticsResult result;
  auto fail = [&](RunError error) {
    result.error = std::move(error);
    return result;
  };
  ColumnData data;
  if (auto error = openColumnData(options, hooks, data, result.warnings)) return fail(std::move(*error));
  const SampleTable* table = data.table.get();
  const int modelColumn = data.layout.modelColumn();
  int column = options.column;
  if (!options.columnName.empty()) {
    if (auto error = columnNamed(options.dataPath, data, options.columnName, column)) return fail(std::move(*error));
  }
  if (column < 1 || column > table->columnCount()) {
    return fail(argumentError("column " + decimal(column) + " does not exist: " + quoted(options.dataPath) +
                              " has " + counted(table->columnCount(), "column", "columns")));
  }
  const std::vector<double> sample = gatherPooledSample(data.chains, column - 1, options.modelFilter, modelColumn);
  result.sampleCount = static_cast<int>(sample.size());
  if (sample.size() < 2) {
    std::string where = options.modelFilter != 0 ? " in the retained rows of model " + decimal(options.modelFilter)
                                                 : " in the retained rows";
    return fail(fileError("column " + decimal(column) + " of " + quoted(options.dataPath) + " has " +
                          counted(static_cast<long long>(sample.size()), "value", "values") + where +
                          "; at least two are needed"));
  }

  int position = options.bandwidthPosition.value_or(kDesignedBandwidthPosition);
  ColumnStatistics statistics =
      computeColumnStatistics(sample, options.levelPercent, bandwidthOfPosition(position));
  if (!options.bandwidthPosition) {
    // Choosing a column plots it with the bandwidth in place, then moves to its default, which
    // plots it again only when the position changes.
    const std::optional<int> preferred = defaultBandwidthPosition(statistics.n, statistics.sumSquares);
    if (preferred && *preferred != position) {
      position = *preferred;
      statistics = computeColumnStatistics(sample, options.levelPercent, bandwidthOfPosition(position));
    }
  }
  result.bandwidthPosition = position;
  result.texts = statisticsTexts(statistics);
  return result;
}

}  // namespace varno
