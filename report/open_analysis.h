// Opening an analysis for the headless tool: from a request (a data file or CODA index, further
// chains, a factors file and the decision inputs) either the checked analysis, with the warnings
// of what did not stop it, or the refusal with its message. Every mode of the tool opens this way.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/factors_file.h"
#include "core/file_kind.h"
#include "core/progress.h"
#include "core/table_layout.h"
#include "report/auto_burn_in.h"
#include "stats/chain_rows.h"
#include "stats/row_range.h"

namespace varno {

// Why a run stopped. fromArguments marks a fault the caller can mend by giving other arguments
// (a missing interaction answer, a column that does not exist) rather than other files.
struct RunError {
  std::string message;
  bool fromArguments = false;
};

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
  // The burn-in taken from the suggestion once every chain is read (burnIn is then not used).
  std::optional<AutoBurnIn> autoBurnIn;
};

// An analysis opened and checked.
struct OpenedAnalysis {
  std::vector<ChainRows> chains;  // every chain with its retained rows, the data file first
  FileKind kind = FileKind::other;
  FactorDecision decision;  // fst files: the factors the file was read with
  TableLayout layout;       // where the columns sit: fst files place them by the decision
  std::string factorsText;  // the factors file read, when one was
};

// Checks the request, decides the factors, reads the data file (an index: its chains) and the
// further chains and checks their layout, their retained rows and the factors against them.
std::optional<RunError> openAnalysis(const AnalysisRequest& request, OpenedAnalysis& analysis,
                                     std::vector<std::string>& warnings, Progress& progress = Progress::unwatched());

}  // namespace varno
