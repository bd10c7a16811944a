// Opening an analysis: from a request (a data file or CODA index, further chains, a factors file
// and the decision inputs) either the checked analysis, with the warnings of what did not stop it,
// or the refusal with its message. Every mode of the tool and the window's load job open this way,
// and a chain added to an open analysis is read and checked as the further chains of a request are.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/chain_source.h"
#include "core/factor_decision_hint.h"
#include "core/factors_file.h"
#include "core/file_kind.h"
#include "core/progress.h"
#include "core/table_layout.h"
#include "report/auto_burn_in.h"
#include "report/burn_in_share.h"
#include "stats/chain_rows.h"
#include "stats/row_range.h"

namespace varno {

// Why a run stopped. fromArguments marks a fault the caller can mend by giving other arguments
// (a missing interaction answer, a column that does not exist) rather than other files.
struct RunError {
  std::string message;
  bool fromArguments = false;
  // The file itself could not be read: the message is its reader's (the window words it so).
  bool unread = false;
};

// What did not stop an opening, and the file it concerns (empty: the note names what it concerns).
struct OpenWarning {
  std::string file;
  std::string note;
};

// The warning as one line: the file quoted, then the note.
std::string warningLine(const OpenWarning& warning);

// The factor decision for a factors file whose text is given (mode -1 counts its factor lines;
// exactly two need `interaction` or, failing that, askInteraction; with neither it is an
// argument error asking for --interaction yes|no).
std::optional<RunError> decideFactors(std::optional<int> factorMode, std::string_view factorsText,
                                      std::optional<bool> interaction, const std::function<bool()>& askInteraction,
                                      FactorDecision& decision);

// Burn-in and burn-out that leave at least two of rowCount rows, as retained rows; otherwise an
// error saying how many rows they leave. Negative values are refused as well. The values are not
// fitted: a pipeline that asked for them gets what it asked for or nothing.
std::optional<RunError> checkedRetainedRows(long long burnIn, long long burnOut, int rowCount, RowRange& rows);

// Each chain's retained rows replaced by its own burn-in (`burnIns`, as `chains`) and `burnOut`,
// checked as checkedRetainedRows does; a refusal names the chain's file (`chainFiles`, the data
// file where none is given).
std::optional<RunError> setChainBurnIns(const std::vector<long long>& burnIns, long long burnOut,
                                        const std::string& dataPath, const std::vector<std::string>& chainFiles,
                                        std::vector<ChainRows>& chains);

// What an analysis is opened from: the data file (or CODA index), its further chains, its factors
// and the decision inputs, the rows and the model.
struct AnalysisRequest {
  std::string dataPath;
  std::string factorsPath;  // empty: an fst file has no factors
  std::optional<int> factorMode;
  std::optional<bool> interaction;
  int levelPercent = 95;   // 1 .. 99
  int modelFilter = 0;     // fst files with their factors only
  long long burnIn = 0, burnOut = 0;
  std::vector<std::string> chainPaths;  // further chains of dataPath's analysis, in order
  // Asked for the interaction of a two-factor file when `interaction` is not given; true = Yes.
  std::function<bool()> askInteraction;
  // The factors file is read even when none is named (the report needs one: its absence is then
  // the refusal of reading it).
  bool factorsNeeded = false;
  // The factor decision already taken (the window asks its questions before reading): the factors
  // file is then not read here, only named in the hint when the model column does not fit.
  std::optional<FactorDecision> decision;
  // Whose words the refusals use: the tool names its options, the window its own questions.
  HintVoice voice = HintVoice::tool;
  // A burn-in and burn-out that leave fewer than two rows are taken as 0 and 0 (the window says so
  // and fits its edits afterwards) instead of being refused.
  bool fitRange = false;
  // The burn-in taken from the suggestion once every chain is read; the reading checks the rows
  // with burnIn, which is then to be 0.
  std::optional<AutoBurnIn> autoBurnIn;
  // The burn-in as a share of each chain's rows, taken once every chain is read; as autoBurnIn,
  // burnIn is then to be 0.
  std::optional<BurnInShare> burnInShare;
};

// An analysis opened and checked.
struct OpenedAnalysis {
  std::vector<ChainRows> chains;  // every chain with its retained rows, the data file first
  FileKind kind = FileKind::other;
  FactorDecision decision;  // fst files: the factors the file was read with
  TableLayout layout;       // where the columns sit: fst files place them by the decision
  std::string factorsText;  // the factors file read, when one was
  std::vector<std::string> chainFiles;  // the file each chain was read from, as `chains`
  std::vector<ChainSource> sources;     // what following each chain's file needs, as `chains`
};

// Checks the request, decides the factors, reads the data file (an index: its chains) and the
// further chains and checks their layout, their retained rows and the factors against them.
std::optional<RunError> openAnalysis(const AnalysisRequest& request, OpenedAnalysis& analysis,
                                     std::vector<OpenWarning>& warnings, Progress& progress = Progress::unwatched());
// The same, with each warning as its line.
std::optional<RunError> openAnalysis(const AnalysisRequest& request, OpenedAnalysis& analysis,
                                     std::vector<std::string>& warnings, Progress& progress = Progress::unwatched());

// An open analysis as a further chain must match it.
struct ChainTarget {
  std::string dataPath;                 // the data file; an index takes its own chain files as chains
  std::vector<std::string> chainFiles;  // the files read as its chains so far, chain 1 first
  int columnCount = 0;                  // of chain 1
  FactorDecision decision;              // fst files: the factors chain 1 was read with
  // for the hint when a chain's model column does not fit the decision, and the factors file's
  // check against each chain (only when it was read while opening)
  std::optional<int> factorMode;
  std::string factorsPath;
  std::string factorsText;
  bool factorsRead = false;
  HintVoice voice = HintVoice::tool;
  long long burnIn = 0, burnOut = 0;
  bool fitRange = false;  // as in AnalysisRequest
};

// Refused before reading: a file of another kind than the data file, or one read as a chain already.
std::optional<RunError> chainRefusedUnread(const ChainTarget& target, const std::string& path);

// Reads `path` as a further chain of the analysis (of an index: as a chain file of it) and checks
// it: its columns against chain 1's, its retained rows and, in an fst file, its model column with
// the factors of chain 1.
std::optional<RunError> readFurtherChain(const ChainTarget& target, const std::string& path, Progress& progress,
                                         ChainRows& chain, std::vector<OpenWarning>& warnings);
// The same, with what following the chain's file needs.
std::optional<RunError> readFurtherChain(const ChainTarget& target, const std::string& path, Progress& progress,
                                         ChainRows& chain, ChainSource& source, std::vector<OpenWarning>& warnings);

}  // namespace varno
