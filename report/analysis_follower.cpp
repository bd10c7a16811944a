// Following every chain of an analysis: rows appended to files of rows are taken into their
// tables, a CODA set that changed is read anew.
#include "report/analysis_follower.h"

#include <new>
#include <utility>

#include "core/text_pieces.h"
#include "stats/model_column_check.h"

namespace varno {

namespace {

ChainPoll ended(ChainChange change, std::string message) {
  ChainPoll poll;
  poll.change = change;
  poll.message = std::move(message);
  return poll;
}

}  // namespace

bool AnalysisPoll::grown() const {
  for (const ChainPoll& chain : chains)
    if (chain.change == ChainChange::grown) return true;
  return false;
}

AnalysisFollower::AnalysisFollower(const OpenedAnalysis& analysis, std::size_t bytesPerRound)
    : layout_(analysis.layout), bytesPerRound_(bytesPerRound) {
  for (std::size_t c = 0; c < analysis.sources.size() && c < analysis.chains.size(); ++c)
    addChain(analysis.sources[c], analysis.chains[c].table ? analysis.chains[c].table->rowCount() : 0);
}

void AnalysisFollower::addChain(const ChainSource& source, int rowCount) {
  Chain chain{source, std::nullopt, rowCount, {}};
  if (source.readOn) chain.rows.emplace(source.file, *source.readOn, bytesPerRound_);
  chains_.push_back(std::move(chain));
}

void AnalysisFollower::removeChain(int index) {
  if (index >= 0 && index < chainCount()) chains_.erase(chains_.begin() + index);
}

const std::string& AnalysisFollower::file(int index) const { return chains_[static_cast<std::size_t>(index)].source.file; }

AnalysisPoll AnalysisFollower::poll(std::span<const std::shared_ptr<const SampleTable>> tables, Progress& progress) {
  AnalysisPoll out;
  const auto anew = [&](std::string why) {
    out.chains.clear();
    out.readAnew = std::move(why);
    return out;
  };
  if (tables.size() != chains_.size()) return anew("the chains followed are not those of the analysis");
  for (std::size_t c = 0; c < chains_.size(); ++c) {
    progress.stopIfCancelled();
    progress.report(static_cast<double>(c) / static_cast<double>(chains_.size()));
    Chain& chain = chains_[c];
    const std::shared_ptr<const SampleTable>& table = tables[c];
    if (!table || table->rowCount() != chain.rowCount)
      return anew(quoted(chain.source.file) + " is followed from other rows than those of the analysis");
    if (!chain.stopped.empty()) {
      out.chains.push_back(ended(ChainChange::stopped, chain.stopped));
      continue;
    }
    if (!chain.rows) {  // a CODA chain: any change of its files means reading the set anew
      ChainPoll poll;
      for (const auto& [file, stamp] : chain.source.stamps) {
        const std::optional<FileStamp> now = fileStampOf(file);
        if (!now) {
          poll = ended(ChainChange::gone, "cannot open " + quoted(file));
          break;
        }
        if (now != stamp) return anew(quoted(file) + " changed since it was read");
      }
      out.chains.push_back(std::move(poll));
      continue;
    }

    const FileFollower before = *chain.rows;
    FollowPoll round = chain.rows->poll();
    out.more = out.more || round.more;
    if (round.change == FileChange::readAnew) return anew(std::move(round.message));
    if (round.change == FileChange::gone || round.change == FileChange::stopped) {
      if (round.change == FileChange::stopped) chain.stopped = round.message;
      out.chains.push_back(ended(round.change == FileChange::gone ? ChainChange::gone : ChainChange::stopped,
                                 std::move(round.message)));
      continue;
    }
    if (round.change != FileChange::grown) {
      out.chains.push_back(ChainPoll{});
      continue;
    }
    try {
      const SampleTable& rows = *round.appended.rows;
      std::shared_ptr<const SampleTable> grown = table->appended(rows);
      if (chain.source.kind == FileKind::fst) {
        const ModelColumnCheck models = checkModelColumn(*grown, layout_, RowRange{chain.rowCount, grown->rowCount()});
        if (models.mismatch) {
          chain.stopped = quoted(chain.source.file) + ": " + *models.mismatch + ": " + chain.source.modelHint;
          out.chains.push_back(ended(ChainChange::stopped, chain.stopped));
          continue;
        }
      }
      ChainPoll poll;
      poll.change = ChainChange::grown;
      poll.rowsAdded = rows.rowCount();
      poll.table = std::move(grown);
      chain.rowCount = poll.table->rowCount();
      out.chains.push_back(std::move(poll));
    } catch (const std::bad_alloc&) {
      // the rows are read again by a later round
      *chain.rows = before;
      out.chains.push_back(ended(ChainChange::gone, "cannot read " + quoted(chain.source.file) +
                                                        ": the rows appended do not fit in memory"));
    }
  }
  progress.report(1);
  return out;
}

std::optional<RunError> grownRetainedRows(RowRange rows, int oldRowCount, int newRowCount, RowRange& grown) {
  return checkedRetainedRows(rows.begin, static_cast<long long>(oldRowCount) - rows.end, newRowCount, grown);
}

}  // namespace varno
