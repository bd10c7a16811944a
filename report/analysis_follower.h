// Following an open analysis while its sampler still writes it: each poll looks at every chain's
// file once and hands back, per chain, its table with the rows appended since, or why it cannot
// go on, or that the analysis must be read anew.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/chain_source.h"
#include "core/file_follower.h"
#include "core/progress.h"
#include "core/sample_table.h"
#include "core/table_layout.h"
#include "report/open_analysis.h"
#include "stats/row_range.h"

namespace varno {

enum class ChainChange {
  unchanged,  // nothing new (a last line without its line end waits)
  grown,      // ChainPoll::table holds the rows appended
  stopped,    // following this chain's file has ended (a bad row, a model column that does not fit)
  gone,       // the file cannot be read now; a later poll looks again
};

struct ChainPoll {
  ChainChange change = ChainChange::unchanged;
  // grown: the chain's table with the new rows appended (sharing the given table's storage)
  std::shared_ptr<const SampleTable> table;
  int rowsAdded = 0;
  // stopped, gone: what happened, naming the file (and the line or row, when stopped)
  std::string message;
};

struct AnalysisPoll {
  // Set when the analysis must be read anew, as Reload does: why, naming the file (shrunk,
  // replaced, rewritten, a CODA file changed). `chains` is empty then.
  std::optional<std::string> readAnew;
  std::vector<ChainPoll> chains;  // one per chain followed, in their order
  // some file holds more than one round reads: the next poll may come at once
  bool more = false;

  bool grown() const;  // some chain grew
};

// The files of an analysis and how far each was read. Copyable, and changed only by poll: poll a
// copy and keep it only when its result is taken in, so that a result dropped leaves the kept
// follower where it was. One poll at a time per copy; copies may poll on other threads.
class AnalysisFollower {
 public:
  AnalysisFollower() = default;
  // Follows the chains of `analysis` as it was opened (its sources and chain tables).
  explicit AnalysisFollower(const OpenedAnalysis& analysis, std::size_t bytesPerRound = FileFollower::kBytesPerRound);

  // A chain added to the analysis (readFurtherChain's source) with the rows its table holds.
  void addChain(const ChainSource& source, int rowCount);
  // The chain at `index` is no longer followed (it left the analysis).
  void removeChain(int index);

  int chainCount() const { return static_cast<int>(chains_.size()); }
  const std::string& file(int index) const;

  // One round: every chain's file is opened anew and read past where it was read. `tables` are
  // the chains' current tables, in order: those the analysis was opened with, or those the last
  // poll taken in gave. Rows are taken in whole only (a last line without its line end and NUL
  // bytes at the end wait); in an fst file their model column is checked as opening checks it.
  // A cancel asked of `progress` ends the round with WorkCancelled between two files (this
  // follower is then part-way: drop the copy that polled).
  AnalysisPoll poll(std::span<const std::shared_ptr<const SampleTable>> tables,
                    Progress& progress = Progress::unwatched());

 private:
  struct Chain {
    ChainSource source;
    std::optional<FileFollower> rows;  // files of rows
    int rowCount = 0;                  // rows taken in so far
    std::string stopped;               // set once following the chain ended
  };
  std::vector<Chain> chains_;
  TableLayout layout_;
  std::size_t bytesPerRound_ = FileFollower::kBytesPerRound;
};

// The retained rows of a chain whose table grew from `oldRowCount` to `newRowCount` rows: the same
// burn-in and burn-out (in rows) as `rows`, checked as checkedRetainedRows does.
std::optional<RunError> grownRetainedRows(RowRange rows, int oldRowCount, int newRowCount, RowRange& grown);

}  // namespace varno
