// Options > "Follow files": once a second a round reads what a running sampler appended to the
// files of the analysis, on a worker and on a copy of the follower; the rows are taken in on the
// window's thread while the analysis is still the one polled, and the pages shown are recomputed
// as often as their cost allows.
#include <QAction>
#include <QStringList>
#include <QLineEdit>
#include <QStatusBar>

#include <algorithm>

#include "core/read_notes.h"
#include "report/following_texts.h"
#include "stats/data_range.h"
#include "ui/details_page.h"
#include "ui/diagnostics_page.h"
#include "ui/following.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"
#include "ui/track_bar.h"

namespace varno {

// What a round found, with the tables it polled: its rows are taken in only onto those.
struct TForm3::FollowRound {
  std::vector<std::shared_ptr<const SampleTable>> polled;
  std::uint64_t generation = 0;
  AnalysisFollower follower;  // the copy that polled, where the files now stand
  AnalysisPoll poll;
};

void TForm3::createFollowing() {
  following_ = std::make_unique<Following>();
  following_->timer.setInterval(1000);
  following_->clock.start();
  connect(&following_->timer, &QTimer::timeout, this, [this] { runGuarded([this] { followRound(); }); });
  // a refresh's cost is the time from its request until its figures are shown
  details_->figuresApplied = [this] {
    Following::Page& page = following_->pages[kDetailsPage];
    if (!page.started) return;
    page.throttle.ran(*page.started, following_->seconds() - *page.started);
    page.started.reset();
  };
}

void TForm3::FollowFiles1Click() {
  if (FollowFiles1->isChecked()) {
    if (!startFollowing()) FollowFiles1->setChecked(false);
  } else {
    stopFollowing();
    if (state.open()) setStatus("Following stopped.");
  }
}

bool TForm3::startFollowing() {
  if (!state.open() || !following_->follower) {
    setPassingStatus("Open a data file first: Follow files takes in the rows a sampler appends to it.");
    return false;
  }
  Following& f = *following_;
  ++f.generation;
  f.active = true;
  f.readingAnew = false;
  f.stopped.clear();
  f.gone.clear();
  f.growth.reset();
  for (Following::Page& page : f.pages) {
    page.throttle.reset();
    page.pending = false;
    page.started.reset();
  }
  FollowFiles1->setChecked(true);
  f.timer.start();
  showFollowingStatus();
  return true;
}

void TForm3::stopFollowing() {
  if (!following_) return;
  Following& f = *following_;
  if (f.readingAnew) return;  // the files read anew for following: it goes on once they are read
  ++f.generation;  // a round still running is dropped
  f.active = false;
  f.timer.stop();
  jobs_->cancel(JobRunner::Lane::follow);
  FollowFiles1->setChecked(false);
}

void TForm3::followRound() {
  Following& f = *following_;
  if (!f.active || !f.follower) return;
  refreshFollowedPages();
  // one round at a time; none while the analysis is read or a page computed from it, nor while
  // a track bar is dragged: the rows come once it is let go
  if (jobs_->busy(JobRunner::Lane::follow) || isBusy() || details_->Tburnin->isSliderDown() ||
      details_->Tburnout->isSliderDown())
    return;
  auto round = std::make_shared<FollowRound>();
  round->polled = state.chainTables();
  round->generation = f.generation;
  round->follower = *f.follower;
  JobRunner::Job job;
  job.title = "Following " + QString::fromStdString(state.dataFileName);
  job.work = [this, round](Progress& progress) -> JobRunner::Apply {
    round->poll = round->follower.poll(round->polled, progress);
    return [this, round] {
      Following& now = *following_;
      // stopped, or the analysis changed meanwhile: the rows belong to no table shown
      if (!now.active || round->generation != now.generation || round->polled != state.chainTables()) return;
      // not under a running computation nor a drag: the kept follower stays, and the next round
      // reads the same rows again
      if (isBusy() || details_->Tburnin->isSliderDown() || details_->Tburnout->isSliderDown()) return;
      now.follower = round->follower;
      takeInRound(*round);
    };
  };
  job.failed = [this, generation = f.generation](const std::string& error) {
    if (generation != following_->generation) return;
    setStatus(QString("Following %1 stopped: %2")
                  .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
    stopFollowing();
  };
  jobs_->start(JobRunner::Lane::follow, std::move(job));
}

void TForm3::takeInRound(const FollowRound& round) {
  Following& f = *following_;
  const AnalysisPoll& poll = round.poll;
  if (poll.readAnew) {
    // as Reload does, keeping what it keeps; following goes on with the files as read then
    setStatus(QString::fromStdString(*poll.readAnew) + ": read anew");
    f.readingAnew = true;
    ++f.generation;
    reloadAnalysis([this] {
      Following& again = *following_;
      again.readingAnew = false;
      if (again.active) startFollowing();
    });
    if (!isBusy()) f.readingAnew = false;  // the reload was refused: following goes on
    return;
  }
  bool grown = false;
  QStringList stoppedNow;
  f.gone.clear();
  for (std::size_t c = 0; c < poll.chains.size() && c < state.chains.size(); ++c) {
    const ChainPoll& chain = poll.chains[c];
    if (chain.change == ChainChange::grown && chain.table) {
      state.chains[c].table = chain.table;
      grown = true;
    } else if (chain.change == ChainChange::stopped) {
      // said once, the first round that finds it
      if (std::find(f.stopped.begin(), f.stopped.end(), chain.message) == f.stopped.end()) {
        f.stopped.push_back(chain.message);
        stoppedNow << QString::fromStdString(chain.message);
      }
    } else if (chain.change == ChainChange::gone) {
      f.gone.push_back(chain.message);  // it may come back: a later round looks again
    }
  }
  long long rows = 0;
  for (const auto& chain : state.chains) rows += chain.table->rowCount();
  f.growth.record(f.seconds(), rows);
  if (grown) {
    // the burn-in keeps its rows and the burn-out stays as set: the retained rows grow, and the
    // track bars show the same rows as a share of the longer table
    const int shortest = shortestChainRows();
    if (const auto burnIn = burnRange_.burnIn) details_->Tburnin->setPosition(burnPercentage(static_cast<double>(*burnIn), shortest));
    if (const auto burnOut = burnRange_.burnOut) details_->Tburnout->setPosition(burnPercentage(static_cast<double>(*burnOut), shortest));
    updateRetainedRowsText();
    for (Following::Page& page : f.pages) page.pending = true;
    refreshFollowedPages();
  }
  showFollowingStatus();
  for (const QString& message : stoppedNow) reportError(message);
  if (static_cast<int>(f.stopped.size()) >= state.chainCount()) stopFollowing();
}

void TForm3::refreshFollowedPages() {
  Following& f = *following_;
  const int shown = shownPage();
  if (shown < 0 || shown >= static_cast<int>(f.pages.size())) return;
  Following::Page& page = f.pages[static_cast<std::size_t>(shown)];
  const double now = f.seconds();
  if (!page.pending || !page.throttle.allows(now) || !state.open()) return;
  const auto ran = [this, shown, now] {
    Following::Page& done = following_->pages[static_cast<std::size_t>(shown)];
    done.throttle.ran(now, following_->seconds() - now);
    done.started.reset();
  };
  if (shown == kDetailsPage) {
    page.started = now;
    details_->ReplotCurrentColumn();
  } else {
    // the Summary and Diagnostics pages compute on the analysis lane, one at a time
    if (isBusy()) return;
    const bool summary = shown == kSummaryPage;
    if (!(summary ? summary_->summaryIsCurrent() : diagnostics_->diagnosticsIsCurrent())) {
      page.started = now;
      if (summary) {
        summary_->ComputeModelSummary(ran, true);
      } else {
        diagnostics_->ComputeDiagnostics(ran, true);
      }
    }
  }
  page.pending = false;
  // until its cost is known, a recompute keeps the least spacing
  page.throttle.ran(now, 0);
}

void TForm3::showFollowingStatus() {
  const Following& f = *following_;
  if (!f.active) return;
  long long rows = 0;
  for (const auto& chain : state.chains) rows += chain.table->rowCount();
  const int followed = state.chainCount() - static_cast<int>(f.stopped.size());
  QString text = QString::fromStdString(followingStatus(followed, rows, f.growth.addedInLastMinute(f.seconds())));
  for (const std::string& stopped : f.stopped) text += "; " + QString::fromStdString(stopped);
  for (const std::string& gone : f.gone) text += "; " + QString::fromStdString(gone);
  const QString target = diagnostics_->targetStatus();
  if (!target.isEmpty()) text += "; " + target;
  setStatus(text);
}

}  // namespace varno
