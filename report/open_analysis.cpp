// Opening an analysis for the tool and the window: the checks every opening makes, in one order.
#include "report/open_analysis.h"

#include <utility>

#include "core/chain_match.h"
#include "core/coda_reader.h"
#include "core/file_stamp.h"
#include "core/column_catalogue.h"
#include "core/factor_decision_hint.h"
#include "core/file_kind.h"
#include "core/input_file.h"
#include "core/model_numbering.h"
#include "core/read_notes.h"
#include "core/text_pieces.h"
#include "stats/data_range.h"
#include "stats/model_column_check.h"

namespace varno {

namespace {

RunError fileError(std::string message) { return RunError{std::move(message), false}; }
RunError argumentError(std::string message) { return RunError{std::move(message), true}; }
RunError unreadError(std::string message) { return RunError{std::move(message), false, true}; }

// The text of the factors file, or the error naming it.
std::optional<RunError> readFactorsText(const std::string& path, std::string& text) {
  std::string why;
  std::optional<std::string> content = readTextFile(path, &why);
  if (!content) return fileError(why);
  text = std::move(*content);
  return std::nullopt;
}

// The data file read into a table, and where reading it goes on; a partial read and rows with
// extra numbers are warnings.
std::optional<RunError> readTable(const std::string& path, Progress& progress,
                                  std::shared_ptr<const SampleTable>& table, ChainSource& source,
                                  std::vector<OpenWarning>& warnings) {
  DataFileReadResult read = readDataFile(path, progress);
  if (!read.table) return unreadError(read.error);
  for (std::string& note : readNotes(read)) warnings.push_back({path, std::move(note)});
  table = std::move(read.table);
  source.file = path;
  source.kind = fileKindOf(lowerCasedExtension(path));
  source.readOn = std::move(read.readOn);
  return std::nullopt;
}

// The stamps of a CODA index and its chain files, taken before they are read: a change while they
// are read shows at the first look after.
std::vector<std::pair<std::string, std::optional<FileStamp>>> codaStamps(const std::string& indexPath,
                                                                         const std::vector<std::string>& chainFiles) {
  std::vector<std::pair<std::string, std::optional<FileStamp>>> stamps{{indexPath, fileStampOf(indexPath)}};
  for (const std::string& file : chainFiles) stamps.emplace_back(file, fileStampOf(file));
  return stamps;
}

// The source of a CODA chain: the index's stamp and its chain file's.
ChainSource codaSource(const std::vector<std::pair<std::string, std::optional<FileStamp>>>& stamps,
                       const std::string& chainFile) {
  ChainSource source;
  source.file = chainFile;
  source.stamps.push_back(stamps.front());
  for (std::size_t k = 1; k < stamps.size(); ++k)
    if (stamps[k].first == chainFile) source.stamps.push_back(stamps[k]);
  // a chain file found under another spelling than the one stamped is stamped now
  if (source.stamps.size() == 1) source.stamps.emplace_back(chainFile, fileStampOf(chainFile));
  return source;
}

// The chains of an index: those beside it, then the named ones; refused when there is none.
std::optional<RunError> readIndexedChains(const std::string& indexPath, const std::vector<std::string>& named,
                                          HintVoice voice, Progress& progress, std::vector<CodaChain>& chains,
                                          std::vector<ChainSource>& sources) {
  const std::vector<std::string> files = codaChainFiles(indexPath, named);
  const auto stamps = codaStamps(indexPath, files);
  CodaReadResult read = files.empty() ? readCoda(indexPath, progress) : readCoda(indexPath, files, progress);
  if (read.chains.empty()) {
    if (files.empty() && voice == HintVoice::tool) read.error += "; name the chain files with --chain";
    return unreadError(read.error);
  }
  chains = std::move(read.chains);
  for (const CodaChain& chain : chains) sources.push_back(codaSource(stamps, chain.fileName));
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

// The rows a chain retains: too few are refused, unless the range is fitted to the rows.
std::optional<RunError> chainRetainedRows(long long burnIn, long long burnOut, bool fit, const std::string& path,
                                          int rowCount, RowRange& rows) {
  if (fit) {
    rows = retainedRowsOnOpen(burnIn, burnOut, rowCount);
    return std::nullopt;
  }
  if (auto error = checkedRetainedRows(burnIn, burnOut, rowCount, rows)) {
    error->message = quoted(path) + ": " + error->message;
    return error;
  }
  return std::nullopt;
}

// What to check when a chain's model column does not fit the factor decision.
std::string decisionHint(const ChainTarget& target, bool firstChain) {
  // in the window the factors of a further chain are those the user chose for chain 1
  if (target.voice == HintVoice::window && !firstChain)
    return "was the chain written with the factors of the first chain?";
  // a factors file that the opening did not read is read only to explain
  const std::string text = target.factorsRead || target.factorsPath.empty()
                               ? target.factorsText
                               : readTextFile(target.factorsPath).value_or("");
  return factorDecisionHint({target.decision.factorCount, target.factorMode, target.factorsPath, text}, target.voice);
}

// An fst chain against the factor decision and the factors file (when the opening read one): a
// model column that holds no model numbers or a factors file that does not fit stops the opening;
// rows of unknown models and doubtful factor lines are warnings.
std::optional<RunError> checkFstAgainstFactors(const ChainTarget& target, const std::string& path,
                                               const SampleTable& table, RowRange rows, bool firstChain,
                                               std::vector<OpenWarning>& warnings) {
  const TableLayout layout = TableLayout::fst(table.columnCount(), target.decision);
  const ModelColumnCheck models = checkModelColumn(table, layout, rows);
  if (models.mismatch)
    return fileError(quoted(path) + ": " + *models.mismatch + ": " + decisionHint(target, firstChain));
  if (models.rowsOutsideModels > 0)
    warnings.push_back({path, rowsOutsideModelsNote(models.rowsOutsideModels, models.modelCount)});
  if (!target.factorsRead) return std::nullopt;
  for (const FactorsFileNote& note :
       checkFactorsFile(target.factorsText, layout.populationCount, factorLinesNeeded(target.decision))) {
    if (note.fault) return fileError(factorsFileNoteText(target.factorsPath, note));
    warnings.push_back({"", factorsFileNoteText(target.factorsPath, note)});
  }
  return std::nullopt;
}

// Whether the analysis was opened from an index: its chains are then the index's chain files.
bool fromIndex(const ChainTarget& target) {
  return !target.chainFiles.empty() && target.chainFiles.front() != target.dataPath;
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

std::optional<RunError> setChainBurnIns(const std::vector<long long>& burnIns, long long burnOut,
                                        const std::string& dataPath, const std::vector<std::string>& chainFiles,
                                        std::vector<ChainRows>& chains) {
  for (std::size_t c = 0; c < chains.size(); ++c) {
    RowRange rows;
    if (auto error = checkedRetainedRows(burnIns[c], burnOut, chains[c].table->rowCount(), rows)) {
      error->message = quoted(c < chainFiles.size() ? chainFiles[c] : dataPath) + ": " + error->message;
      return error;
    }
    chains[c].rows = rows;
  }
  return std::nullopt;
}

std::string warningLine(const OpenWarning& warning) {
  return warning.file.empty() ? warning.note : quoted(warning.file) + ": " + warning.note;
}

std::optional<RunError> chainRefusedUnread(const ChainTarget& target, const std::string& path) {
  if (auto why = chainKindMismatch(target.dataPath, path)) return argumentError(*why);
  // one file read as two chains would count its draws twice
  std::vector<std::string> files = target.chainFiles;
  files.push_back(path);
  if (auto why = repeatedChainFile(files)) return argumentError(*why);
  return std::nullopt;
}

std::optional<RunError> readFurtherChain(const ChainTarget& target, const std::string& path, Progress& progress,
                                         ChainRows& chain, std::vector<OpenWarning>& warnings) {
  ChainSource source;
  return readFurtherChain(target, path, progress, chain, source, warnings);
}

std::optional<RunError> readFurtherChain(const ChainTarget& target, const std::string& path, Progress& progress,
                                         ChainRows& chain, ChainSource& source, std::vector<OpenWarning>& warnings) {
  std::shared_ptr<const SampleTable> table;
  ChainSource read;
  if (fromIndex(target)) {
    const auto stamps = codaStamps(target.dataPath, {path});
    CodaReadResult coda = readCoda(target.dataPath, {path}, progress);
    if (coda.chains.empty()) return unreadError(coda.error);
    table = std::move(coda.chains.front().table);
    read = codaSource(stamps, path);
  } else if (auto error = readTable(path, progress, table, read, warnings)) {
    return error;
  }
  if (auto why = chainMismatch(target.dataPath, target.columnCount, path, table->columnCount()))
    return fileError(*why);
  RowRange rows;
  if (auto error = chainRetainedRows(target.burnIn, target.burnOut, target.fitRange, path, table->rowCount(), rows))
    return error;
  read.kind = fileKindOf(lowerCasedExtension(target.dataPath));
  if (read.kind == FileKind::fst) {
    if (auto error = checkFstAgainstFactors(target, path, *table, rows, false, warnings)) return error;
    read.modelHint = decisionHint(target, false);
  }
  chain = {std::move(table), rows};
  source = std::move(read);
  return std::nullopt;
}

std::optional<RunError> openAnalysis(const AnalysisRequest& options, OpenedAnalysis& data,
                                     std::vector<std::string>& warnings, Progress& progress) {
  std::vector<OpenWarning> noted;
  std::optional<RunError> error = openAnalysis(options, data, noted, progress);
  for (const OpenWarning& warning : noted) warnings.push_back(warningLine(warning));
  return error;
}

std::optional<RunError> openAnalysis(const AnalysisRequest& options, OpenedAnalysis& data,
                                     std::vector<OpenWarning>& warnings, Progress& progress) {
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
  if (kind == FileKind::fst && options.decision) {
    decision = *options.decision;
  } else if (kind == FileKind::fst && (options.factorsNeeded || !options.factorsPath.empty())) {
    if (auto error = factorsOf(options.factorsPath, options.factorMode, options.interaction, options.askInteraction, decision,
                               factorsText))
      return error;
    if (auto error = checkModelChoice(options.modelFilter, decision, options.factorsPath)) return error;
  } else if (kind == FileKind::fst && options.factorMode) {
    decision = decideFactorCount(*options.factorMode, [] { return 0; }, [] { return false; });
  } else if (kind != FileKind::fst && !options.factorsPath.empty()) {
    warnings.push_back({"", "the factors file is used only with .fst data files; " + quoted(options.factorsPath) +
                                " is not read"});
  }

  std::shared_ptr<const SampleTable> table;
  // an index reads its chains, and the first is the table of the run
  std::vector<CodaChain> indexed;
  std::vector<ChainSource> sources(1);
  if (kind == FileKind::other && isCodaIndex(options.dataPath)) {
    sources.clear();
    if (auto error = readIndexedChains(options.dataPath, options.chainPaths, options.voice, progress, indexed, sources))
      return error;
    table = indexed.front().table;
  } else if (auto error = readTable(options.dataPath, progress, table, sources.front(), warnings)) {
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

  // what every further chain is checked against: chain 1 and the factors it was read with
  ChainTarget target{options.dataPath, {}, table->columnCount(), decision, options.factorMode, options.factorsPath,
                     factorsText, kind == FileKind::fst && !options.decision && !options.factorsPath.empty(),
                     options.voice, options.burnIn, options.burnOut, options.fitRange};
  RowRange rows;
  if (auto error = chainRetainedRows(options.burnIn, options.burnOut, options.fitRange, options.dataPath,
                                     table->rowCount(), rows))
    return error;
  // the factor decision places the model column, with a factors file or without one
  if (kind == FileKind::fst) {
    if (auto error = checkFstAgainstFactors(target, options.dataPath, *table, rows, true, warnings)) return error;
    sources.front().modelHint = decisionHint(target, true);
  }
  std::vector<ChainRows> chains{{table, rows}};
  target.chainFiles.push_back(indexed.empty() ? options.dataPath : indexed.front().fileName);
  for (std::size_t c = 1; c < indexed.size(); ++c) {
    RowRange chainRows;
    if (auto error = chainRetainedRows(options.burnIn, options.burnOut, options.fitRange, indexed[c].fileName,
                                       indexed[c].table->rowCount(), chainRows))
      return error;
    chains.push_back({indexed[c].table, chainRows});
    target.chainFiles.push_back(indexed[c].fileName);
  }
  // the chains an index names were read with it
  const std::vector<std::string> further = indexed.empty() ? options.chainPaths : std::vector<std::string>{};
  for (const std::string& path : further) {
    if (auto error = chainRefusedUnread(target, path)) return error;
    ChainRows chain;
    ChainSource source;
    if (auto error = readFurtherChain(target, path, progress, chain, source, warnings)) return error;
    chains.push_back(std::move(chain));
    sources.push_back(std::move(source));
    target.chainFiles.push_back(path);
  }
  if (options.autoBurnIn) {
    std::vector<std::string> noted;
    if (auto error = takeSuggestedBurnIn(*options.autoBurnIn, options.dataPath, options.burnOut, layout,
                                         target.chainFiles, chains, noted))
      return error;
    for (std::string& note : noted) warnings.push_back({"", std::move(note)});
  }
  if (options.burnInShare) {
    if (auto error = takeBurnInShare(*options.burnInShare, options.dataPath, options.burnOut, target.chainFiles, chains))
      return error;
  }
  data = OpenedAnalysis{std::move(chains), kind, decision, layout, std::move(target.factorsText),
                        std::move(target.chainFiles), std::move(sources)};
  return std::nullopt;
}

}  // namespace varno
