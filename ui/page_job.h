// A page's result computed as a job on the analysis lane: shown only while the inputs it was
// computed from are still the current ones, dropped when it failed or was cancelled, and the steps
// that wait for it (a save asked for before the result was there) run once it is shown.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/job_runner.h"

namespace varno {

template <class Inputs>
class PageJob {
 public:
  // `current`: the inputs the page would be computed from now, nothing while they are not valid;
  // `recompute`: the page's own request, made again for the steps still waiting after a result
  // came back for inputs that are no longer current.
  PageJob(JobRunner& jobs, std::function<std::optional<Inputs>()> current, std::function<void()> recompute)
      : jobs_(jobs), current_(std::move(current)), recompute_(std::move(recompute)) {}

  // What the page shows now was computed from these; nothing while it shows no result.
  const std::optional<Inputs>& shown() const { return shown_; }
  bool isCurrent() const {
    const std::optional<Inputs> current = current_();
    return current && shown_ && *shown_ == *current;
  }
  // The page was emptied.
  void forget() { shown_.reset(); }
  bool busy() const { return jobs_.busy(JobRunner::Lane::analysis); }
  // this page's job holds the lane
  bool running() const { return running_; }

  // A request for the result, with a step to run once it is shown; true when the caller is to
  // start the job. While this page's own job runs, the step waits for its result (false: nothing
  // to start). While the lane runs another job (a file being read, another page's result) the
  // request is refused and the step not kept: nothing would run it but whatever result of this
  // page came next, long after the command that asked for it was refused.
  bool accept(std::function<void()> then) {
    if (busy() && !running_) return false;
    if (then) waiting_.push_back(std::move(then));
    return !running_;
  }
  // The request cannot be met (its inputs are not valid, the user cancelled): nothing waits.
  void dropWaiting() { waiting_.clear(); }

  struct Run {
    QString title;
    bool pageGauge = false;  // the page has a gauge of its own that follows the job's as well
    // on the worker: computes the result and returns the step that shows it
    std::function<JobRunner::Apply(Progress&)> compute;
    // on the window's thread: the result came back for inputs that are no longer current
    std::function<void()> stale;
    std::function<void(const std::string&)> failed;
    std::function<void()> cancelled;
  };
  // Computes the result for `inputs` as a job; false when the lane took no job.
  bool start(Inputs inputs, Run run) {
    JobRunner::Job job;
    job.title = run.title;
    job.pageGauge = run.pageGauge;
    job.work = [this, inputs = std::move(inputs), compute = std::move(run.compute),
                stale = std::move(run.stale)](Progress& progress) -> JobRunner::Apply {
      JobRunner::Apply show = compute(progress);
      return [this, inputs, show = std::move(show), stale] {
        running_ = false;
        if (current_() != inputs) {
          if (stale) stale();
          // the steps still waiting want the result of the inputs as they are now: from this page's
          // job, if the change started one, or from one started here
          if (!waiting_.empty() && !running_) {
            if (busy())
              waiting_.clear();
            else
              recompute_();
          }
          return;
        }
        shown_ = inputs;
        show();
        auto waiting = std::move(waiting_);
        waiting_.clear();
        for (auto& step : waiting) step();
      };
    };
    job.failed = [this, failed = std::move(run.failed)](const std::string& error) {
      running_ = false;
      waiting_.clear();
      if (failed) failed(error);
    };
    job.cancelled = [this, cancelled = std::move(run.cancelled)] {
      running_ = false;
      waiting_.clear();
      if (cancelled) cancelled();
    };
    running_ = jobs_.start(JobRunner::Lane::analysis, std::move(job));
    return running_;
  }

 private:
  JobRunner& jobs_;
  std::function<std::optional<Inputs>()> current_;
  std::function<void()> recompute_;
  std::optional<Inputs> shown_;
  std::vector<std::function<void()>> waiting_;
  bool running_ = false;  // this page's job holds the lane
};

}  // namespace varno
