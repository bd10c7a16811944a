// Opening an analysis for the headless tool: the checks every mode of it makes, in one order.
#include "report/open_analysis.h"

#include <utility>

#include "core/chain_match.h"
#include "core/coda_reader.h"
#include "core/column_catalogue.h"
#include "core/factor_decision_hint.h"
#include "core/file_kind.h"
#include "core/input_file.h"
#include "core/model_numbering.h"
#include "core/read_notes.h"
#include "core/text_pieces.h"
#include "stats/model_column_check.h"

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
std::optional<RunError> readTable(const std::string& path, Progress& progress,
                                  std::shared_ptr<const SampleTable>& table, std::vector<std::string>& warnings) {
  DataFileReadResult read = readDataFile(path, progress);
  if (!read.table) return fileError(read.error);
  for (const std::string& note : readNotes(read)) warnings.push_back(quoted(path) + ": " + note);
  table = std::move(read.table);
  return std::nullopt;
}

// The chains of an index: those beside it, then the named ones; refused when there is none.
std::optional<RunError> readIndexedChains(const std::string& indexPath, const std::vector<std::string>& named,
                                          Progress& progress, std::vector<CodaChain>& chains) {
  const std::vector<std::string> files = codaChainFiles(indexPath, named);
  CodaReadResult read = files.empty() ? readCoda(indexPath, progress) : readCoda(indexPath, files, progress);
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
                                  std::optional<bool> interaction, const std::function<bool()>& askInteraction,
                                  FactorDecision& decision, std::string& factorsText) {
  if (auto error = readFactorsText(factorsPath, factorsText)) return error;
  if (auto error = decideFactors(factorMode, factorsText, interaction, askInteraction, decision)) {
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
                     factorDecisionHint({decision.factorCount, factorMode, factorsPath, factorsText}, HintVoice::tool));
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
                                   Progress& progress, std::vector<ChainRows>& chains,
                                   std::vector<std::string>& warnings,
                                   const std::function<std::optional<RunError>(const std::string&, const SampleTable&,
                                                                               RowRange)>& check) {
  for (const std::string& path : chainPaths) {
    if (auto why = chainKindMismatch(dataPath, path)) return argumentError(*why);
    std::shared_ptr<const SampleTable> table;
    if (auto error = readTable(path, progress, table, warnings)) return error;
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

std::optional<RunError> openAnalysis(const AnalysisRequest& options, OpenedAnalysis& data,
                                     std::vector<std::string>& warnings, Progress& progress) {
  const FileKind kind = fileKindOf(lowerCasedExtension(options.dataPath));
  const bool factorsKnown = options.factorsNeeded || !options.factorsPath.empty() || options.factorMode.has_value();
  if (options.modelFilter != 0 && (kind != FileKind::fst || !factorsKnown))
    return argumentError("a model can be chosen only for an .fst file with its factors file");
  if (options.modelFilter < 0) return argumentError("the model number must not be negative");
  if (auto error = repeatedChain(options.dataPath, options.chainPaths)) return error;
  if (options.levelPercent < 1 || options.levelPercent > 99)
    return argumentError("the HPDI level must be a whole percentage from 1 to 99");

  // An fst file without a factors file is read as having no factors, as when the user says so.
  FactorDecision decision;
  std::string factorsText;
  if (kind == FileKind::fst && (options.factorsNeeded || !options.factorsPath.empty())) {
    if (auto error = factorsOf(options.factorsPath, options.factorMode, options.interaction, options.askInteraction, decision,
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
    if (auto error = readIndexedChains(options.dataPath, options.chainPaths, progress, indexed)) return error;
    table = indexed.front().table;
  } else if (auto error = readTable(options.dataPath, progress, table, warnings)) {
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
          options.dataPath, *table, further, options.burnIn, options.burnOut, progress, chains, warnings,
          [&](const std::string& path, const SampleTable& chain, RowRange chainRows) -> std::optional<RunError> {
            if (!checkFactors) return std::nullopt;
            return checkFstAgainstFactors(path, chain, decision, chainRows, options.factorMode, options.factorsPath,
                                          factorsText, warnings);
          }))
    return error;
  if (options.autoBurnIn) {
    std::vector<std::string> files{options.dataPath};
    for (std::size_t c = 1; c < chains.size(); ++c)
      files.push_back(!indexed.empty() ? indexed[c].fileName
                      : c - 1 < options.chainPaths.size() ? options.chainPaths[c - 1]
                                                         : options.dataPath);
    if (auto error = takeSuggestedBurnIn(*options.autoBurnIn, options.dataPath, options.burnOut, layout, files, chains,
                                         warnings))
      return error;
  }
  data = OpenedAnalysis{std::move(chains), kind, decision, layout, std::move(factorsText)};
  return std::nullopt;
}

}  // namespace varno
