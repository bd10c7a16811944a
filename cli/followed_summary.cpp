// Following a run for the tool: open, print, poll each interval, take in the rows appended, print
// again; the waits end at once on SIGINT or SIGTERM.
#include "cli/followed_summary.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/stop_signals.h"
#include "core/read_notes.h"
#include "core/text_pieces.h"
#include "report/analysis_follower.h"
#include "report/convergence_target.h"
#include "report/follow_stop.h"

namespace varno {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOk = 0;
constexpr int kFileFault = 1;
constexpr int kIdle = 3;

void say(const std::string& line) { std::fprintf(stderr, "varno-report: %s\n", line.c_str()); }

double secondsSince(Clock::time_point then) { return std::chrono::duration<double>(Clock::now() - then).count(); }

// A data or chain file that exists and holds nothing yet: its sampler has not written its header.
std::optional<std::string> emptyFile(const AnalysisRequest& options) {
  std::vector<std::string> files{options.dataPath};
  files.insert(files.end(), options.chainPaths.begin(), options.chainPaths.end());
  for (const std::string& file : files) {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0) return file;
  }
  return std::nullopt;
}

class Following {
 public:
  // Exactly one of `summary` and `models` is given: the table printed.
  Following(const SummaryTableOptions* summary, const ModelEvidenceOptions* models, const FollowOptions& follow,
            const std::function<int(const RunError&)>& failure)
      : options_(summary ? static_cast<const AnalysisRequest&>(*summary) : *models),
        summary_(summary),
        models_(models),
        follow_(follow),
        failure_(failure),
        stop_(follow.stop) {}

  int run() {
    if (auto end = open()) return *end;
    if (auto end = printTable()) return *end;
    Clock::time_point lastPoll = Clock::now(), lastTable = lastPoll, lastGrowth = lastPoll;
    bool pending = false;  // rows taken in since the last table
    while (true) {
      double wait = follow_.interval - secondsSince(lastPoll);
      if (follow_.idle) wait = std::min(wait, *follow_.idle - secondsSince(lastGrowth));
      if (signals_.waitFor(wait)) {
        // the rows that came in since the last table make the last one
        const Round last = pollOnce(false);
        if ((pending || last.grown) && opened_) return printTable().value_or(last.end.value_or(kOk));
        return last.end.value_or(kOk);
      }
      const Round round = pollOnce(true);
      lastPoll = Clock::now();
      if (round.grown) {
        pending = true;
        lastGrowth = lastPoll;
      }
      // the rows taken in before every file stopped make a last table
      if (pending && ((round.end && opened_) || secondsSince(lastTable) >= follow_.interval)) {
        pending = false;
        lastTable = Clock::now();
        if (auto end = printTable()) return *end;
      }
      if (round.end) return *round.end;
      if (follow_.idle && secondsSince(lastGrowth) >= *follow_.idle) {
        say("no file grew for " + follow_.idleText + " seconds" +
            (follow_.until ? " and the target is not confirmed" : ""));
        return kIdle;
      }
    }
  }

 private:
  struct Round {
    bool grown = false;            // rows taken in, or the analysis read anew
    std::optional<int> end;        // the exit status, when following cannot go on
  };

  // Opens the analysis as a fresh run does, waiting while a file is still empty. Nothing: opened;
  // otherwise the exit status.
  std::optional<int> open() {
    while (const std::optional<std::string> empty = emptyFile(options_)) {
      if (waitingSaid_.insert(*empty).second) say(quoted(*empty) + " is empty: waiting for its sampler to write it");
      if (signals_.waitFor(follow_.interval)) return kOk;
    }
    std::vector<std::string> warnings;
    analysis_ = {};
    std::optional<RunError> error = models_ ? modelsDataRefused(*models_) : std::nullopt;
    if (!error) error = openAnalysis(options_, analysis_, warnings);
    for (const std::string& warning : warnings) say("warning: " + warning);
    opened_ = !error;
    if (error) return failure_(*error);
    follower_ = AnalysisFollower(analysis_);
    followed_.assign(analysis_.chains.size(), true);
    gone_.clear();
    retained_ = true;
    return std::nullopt;
  }

  // One round over every file (again at once while a file holds more than a round reads).
  Round pollOnce(bool mayReadAnew) {
    Round round;
    AnalysisPoll poll;
    do {
      std::vector<std::shared_ptr<const SampleTable>> tables;
      for (const ChainRows& chain : analysis_.chains) tables.push_back(chain.table);
      poll = follower_.poll(tables);
      if (poll.readAnew) {
        if (!mayReadAnew) return round;
        say(*poll.readAnew + "; reading the analysis anew");
        round.end = open();
        round.grown = !round.end;
        return round;
      }
      for (std::size_t c = 0; c < poll.chains.size() && c < analysis_.chains.size(); ++c) {
        const ChainPoll& chain = poll.chains[c];
        const std::string& file = analysis_.chainFiles[c];
        if (chain.change != ChainChange::gone) gone_.erase(file);
        if (chain.change == ChainChange::grown) {
          analysis_.chains[c].table = chain.table;
          retained_ = false;
          round.grown = true;
        } else if (chain.change == ChainChange::gone) {
          if (gone_.insert(file).second) say(chain.message + "; looked for again each interval");
        } else if (chain.change == ChainChange::stopped && followed_[c]) {
          followed_[c] = false;
          const bool others = std::find(followed_.begin(), followed_.end(), true) != followed_.end();
          say(others ? chain.message + "; the other chains are followed on" : chain.message);
          if (!others) round.end = kFileFault;
        }
      }
    } while (poll.more && !round.end);
    return round;
  }

  // Each chain's retained rows for its table now: the burn-in taken anew when it is a share or
  // the suggestion, the same rows otherwise.
  std::optional<RunError> retainRows() {
    if (retained_) return std::nullopt;
    retained_ = true;
    if (options_.autoBurnIn) {
      std::vector<std::string> warnings;
      auto error = takeSuggestedBurnIn(*options_.autoBurnIn, options_.dataPath, options_.burnOut, analysis_.layout,
                                       analysis_.chainFiles, analysis_.chains, warnings);
      for (const std::string& warning : warnings) say("warning: " + warning);
      return error;
    }
    if (options_.burnInShare)
      return takeBurnInShare(*options_.burnInShare, options_.dataPath, options_.burnOut, analysis_.chainFiles,
                             analysis_.chains);
    return setChainBurnIns(std::vector<long long>(analysis_.chains.size(), options_.burnIn), options_.burnOut,
                           options_.dataPath, analysis_.chainFiles, analysis_.chains);
  }

  // Prints the table of the rows now and its status line. Nothing: go on; otherwise the exit status.
  std::optional<int> printTable() {
    if (auto error = retainRows()) return failure_(*error);
    const int chains = static_cast<int>(analysis_.chains.size());
    std::string text;
    std::optional<TargetEvaluation> evaluation;
    if (models_) {
      if (auto error = modelEvidenceText(analysis_, *models_, text)) return failure_(*error);
    } else if (auto end = summaryText(text, evaluation)) {
      return end;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      say("cannot write to standard output");
      return kFileFault;
    }

    long long total = 0;
    for (const ChainRows& chain : analysis_.chains) total += chain.table->rowCount();
    std::string status = "following " + groupedCount(chains, "chain", "chains") + ": " + groupedCount(total, "row", "rows");
    if (printedRows_ && total != *printedRows_)
      status += total > *printedRows_ ? ", +" + grouped(total - *printedRows_) : ", -" + grouped(*printedRows_ - total);
    printedRows_ = total;
    if (options_.burnInShare) {
      status += "; burn-in " + options_.burnInShare->text + ": ";
      for (int c = 0; c < chains; ++c) status += (c ? ", " : "") + grouped(analysis_.chains[c].rows.begin);
      status += chains == 1 && analysis_.chains[0].rows.begin == 1 ? " row" : " rows";
    }
    if (!evaluation) {
      say(status);
      return std::nullopt;
    }
    const std::optional<long long> firstMet = stop_.firstMet();
    const bool confirmed = stop_.confirms(total, evaluation->met);
    status += "; " + convergenceTargetStatus(*evaluation, total);
    if (!confirmed && stop_.firstMet())
      status += "; a table of " + grouped(stop_.confirmingRows()) + " rows or more that meets it confirms it";
    say(status);
    if (!confirmed) return std::nullopt;
    say("target confirmed: met at " + grouped(firstMet.value_or(total)) + " and at " + grouped(total) + " rows");
    return kOk;
  }

  // The summary table of the rows now, its warnings said when they changed, and the target over
  // it when one is given. Nothing: go on; otherwise the exit status.
  std::optional<int> summaryText(std::string& text, std::optional<TargetEvaluation>& evaluation) {
    const std::vector<SummaryRow> rows = analysisSummaryRows(analysis_, *summary_);
    if (follow_.until) {
      evaluation = evaluateConvergenceTarget(*follow_.until, rows, static_cast<int>(analysis_.chains.size()));
      if (!evaluation->unknownColumns.empty())
        return failure_(RunError{"--until: " + quoted(evaluation->unknownColumns.front()) + " is no column of " +
                                     quoted(options_.dataPath) + "; give a number or a name as --summary names it",
                                 true});
    }
    const std::vector<std::string> warnings = summaryRowWarnings(rows);
    if (warnings != lastWarnings_)
      for (const std::string& warning : warnings) say("warning: " + warning);
    lastWarnings_ = warnings;
    text = summaryTableText(rows, *summary_);
    return std::nullopt;
  }

  const AnalysisRequest& options_;
  const SummaryTableOptions* summary_;
  const ModelEvidenceOptions* models_;
  const FollowOptions& follow_;
  const std::function<int(const RunError&)>& failure_;
  StopSignals signals_;
  FollowStop stop_;
  OpenedAnalysis analysis_;
  AnalysisFollower follower_;
  std::vector<bool> followed_;              // per chain: still followed (not stopped)
  bool opened_ = false;                     // the analysis is open (its last opening was not refused)
  bool retained_ = true;                    // the retained rows are those of the tables now
  std::optional<long long> printedRows_;    // the rows of the last table
  std::vector<std::string> lastWarnings_;   // said with the last table
  std::set<std::string> gone_, waitingSaid_;
};

}  // namespace

int followSummary(const SummaryTableOptions& options, const FollowOptions& follow,
                  const std::function<int(const RunError&)>& failure) {
  return Following(&options, nullptr, follow, failure).run();
}

int followModels(const ModelEvidenceOptions& options, const FollowOptions& follow,
                 const std::function<int(const RunError&)>& failure) {
  return Following(nullptr, &options, follow, failure).run();
}

}  // namespace varno
