// The window's background work. A job's work runs on a worker thread and hands back the step
// that applies its result; that step runs on the window's thread. Three lanes:
// - analysis: work that reads or replaces the analysis (a file being read, a model summary),
//   one at a time; while it runs the window refuses the commands that would touch the analysis;
// - figures: the Details page's figures, where the latest request wins: a request made while one
//   runs replaces any queued one;
// - diagnostics: the convergence diagnostics of the Details page's sample, which on a long column
//   take longer than all its other figures, latest request wins as well, so that the figures
//   never wait for them;
// - suggestion: the suggested burn-in of the open chains, latest request wins, so that it never
//   holds up the analysis;
// - curve: the Details page's ESS against burn-in, rank plots and ESS profiles, latest request
//   wins, apart from the figures they would otherwise delay;
// - follow: one round of following the analysis's growing files, so that a slow shared file
//   system never holds up the other lanes; the window starts a round only while none runs.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/progress.h"

namespace varno {

// Thrown by a job's work when it was cancelled (its progress's stopIfCancelled does); the runner
// drops that job quietly.
using JobCancelled = WorkCancelled;

class JobRunner : public QObject {
  Q_OBJECT
 public:
  enum class Lane { analysis, figures, diagnostics, suggestion, curve, follow };

  using Apply = std::function<void()>;
  struct Job {
    QString title;                                  // for the status line: "Reading ...", ...
    std::function<Apply(Progress&)> work;           // on the worker; may throw
    std::function<void(const std::string&)> failed; // on the window's thread: what the work threw
    std::function<void()> cancelled;                // on the window's thread, when cancel() stopped it
    bool pageGauge = false;  // its page has a gauge of its own that follows the job's as well
  };

  explicit JobRunner(QObject* parent = nullptr);
  // Cancels what runs and waits for it: no worker outlives the runner.
  ~JobRunner() override;

  // The analysis lane refuses a job while one runs (false); the figures lane always takes it.
  bool start(Lane lane, Job job);
  bool busy(Lane lane) const;
  bool idle() const {
    return !busy(Lane::analysis) && !busy(Lane::figures) && !busy(Lane::diagnostics) && !busy(Lane::suggestion) &&
           !busy(Lane::curve) && !busy(Lane::follow);
  }
  // Asks the running job of the lane to stop and drops a queued one.
  void cancel(Lane lane);
  // The title and gauge (0 .. 100) of the running analysis job, and whether its page shows the gauge.
  QString analysisTitle() const;
  int analysisPercent() const;
  bool analysisPageGauge() const;

 signals:
  void analysisStarted();
  // The analysis job's work is over; its result (which may ask the user something) is applied next.
  void analysisWorkEnded();
  void analysisEnded();
  void becameIdle();

 private:
  struct Running;
  struct LaneState {
    std::unique_ptr<Running> running;
    std::unique_ptr<Job> queued;  // the lanes where the latest request wins
  };
  void launch(Lane lane, Job job);
  void finished(Lane lane, std::uint64_t id, Apply apply, std::string error, bool cancelled);
  LaneState& of(Lane lane) { return lanes_[static_cast<int>(lane)]; }
  const LaneState& of(Lane lane) const { return lanes_[static_cast<int>(lane)]; }

  std::array<LaneState, 6> lanes_;
  std::uint64_t nextId_ = 1;
};

}  // namespace varno
