// The suggested burn-in of the open chains, computed as a background job.
#include "ui/suggested_burn_in.h"

#include "report/burn_in_texts.h"
#include "report/summary_table.h"
#include "ui/job_runner.h"
#include "ui/worker_threads.h"

namespace varno {

namespace {

// The tool's warning as a status message. The tool then runs with a burn-in of 0; the window
// leaves the burn-in set as it is, so that part of the warning does not hold here.
QString windowWarning(const AnalysisBurnIn& burnIn, int chainCount) {
  QString text = QString::fromStdString(noBurnInSuggestedWarning(burnIn, chainCount));
  const QString toolEnding = "; the burn-in stays 0";
  if (text.endsWith(toolEnding)) text.chop(toolEnding.size());
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text + ".";
}

}  // namespace

SuggestedBurnIn::SuggestedBurnIn(JobRunner& jobs, std::function<std::optional<SuggestionInputs>()> current,
                                 std::function<void()> changed)
    : jobs_(jobs), current_(std::move(current)), changed_(std::move(changed)) {}

bool SuggestedBurnIn::Described::describes(const SuggestionInputs& inputs) const {
  if (layout != inputs.layout || source != inputs.source || tables.size() != inputs.tables.size()) return false;
  for (std::size_t c = 0; c < tables.size(); ++c)
    if (tables[c].lock() != inputs.tables[c]) return false;
  return true;
}

SuggestedBurnIn::Described SuggestedBurnIn::describe(const SuggestionInputs& inputs) {
  Described d{{}, inputs.layout, inputs.source};
  for (const auto& table : inputs.tables) d.tables.push_back(table);
  return d;
}

const SuggestionResult* SuggestedBurnIn::current() const {
  if (!result_ || !shown_) return nullptr;
  const auto inputs = current_();
  return inputs && shown_->describes(*inputs) ? result_.get() : nullptr;
}

void SuggestedBurnIn::update() {
  const auto inputs = current_();
  if (inputs && shown_ && shown_->describes(*inputs)) return;
  // what is shown no longer holds: it goes at once, not when the new one comes
  const bool dropped = result_ != nullptr;
  shown_.reset();
  result_.reset();
  if (dropped) changed_();
  if (!inputs) {
    wanted_.reset();
    return;
  }
  if (wanted_ && wanted_->describes(*inputs)) return;  // asked for already
  wanted_ = describe(*inputs);

  JobRunner::Job job;
  job.title = "Suggesting a burn-in";
  job.work = [this, inputs = *inputs](Progress& progress) -> JobRunner::Apply {
    std::vector<ChainRows> chains;
    for (const auto& table : inputs.tables)
      chains.push_back({table, RowRange{0, table ? table->rowCount() : 0}});
    auto result = std::make_shared<SuggestionResult>();
    result->suggestion = suggestBurnIn(chains, inputs.layout, inputs.source, workerThreads(), progress);
    const int chainCount = static_cast<int>(chains.size());
    const AnalysisBurnIn& analysis = result->suggestion.analysis;
    if (analysis.suggested) {
      const std::vector<std::string> names =
          inputs.tables.empty() || !inputs.tables.front() ? std::vector<std::string>{}
                                                          : summaryColumnNames(*inputs.tables.front(), inputs.layout);
      result->toolTip = QString::fromStdString(suggestedBurnInTooltip(analysis, names, chainCount));
    } else {
      result->whyNone = windowWarning(analysis, chainCount);
    }
    return [this, inputs, result = std::shared_ptr<const SuggestionResult>(result)] {
      const auto now = current_();
      if (wanted_ && wanted_->describes(inputs)) wanted_.reset();
      // the chains or the source changed meanwhile: the request made then follows
      if (!now || !(*now == inputs)) return;
      shown_ = describe(inputs);
      result_ = result;
      changed_();
    };
  };
  job.failed = [this, inputs = *inputs](const std::string& error) {
    if (wanted_ && wanted_->describes(inputs)) wanted_.reset();
    const auto now = current_();
    if (!now || !(*now == inputs)) return;
    // nothing to suggest: the command says why when asked
    auto result = std::make_shared<SuggestionResult>();
    result->whyNone = "No burn-in can be suggested: " + QString::fromStdString(error);
    shown_ = describe(inputs);
    result_ = result;
    changed_();
  };
  job.cancelled = [this] { wanted_.reset(); };
  jobs_.start(JobRunner::Lane::suggestion, std::move(job));
}

}  // namespace varno
