// The window's background work: one worker thread per running job, results applied on the
// window's thread through a queued call.
#include "ui/job_runner.h"

#include <cmath>
#include <exception>
#include <new>

namespace varno {

struct JobRunner::Running {
  std::uint64_t id = 0;
  Job job;
  Progress progress;
  std::thread thread;
};

JobRunner::JobRunner(QObject* parent) : QObject(parent) {}

JobRunner::~JobRunner() {
  for (LaneState& lane : lanes_) {
    lane.queued.reset();
    if (lane.running) {
      lane.running->progress.requestCancel();
      if (lane.running->thread.joinable()) lane.running->thread.join();
    }
  }
}

bool JobRunner::busy(Lane lane) const { return static_cast<bool>(of(lane).running); }

bool JobRunner::start(Lane lane, Job job) {
  LaneState& state = of(lane);
  if (state.running) {
    if (lane == Lane::analysis) return false;
    state.queued = std::make_unique<Job>(std::move(job));  // the latest request wins
    return true;
  }
  launch(lane, std::move(job));
  return true;
}

void JobRunner::launch(Lane lane, Job job) {
  LaneState& state = of(lane);
  auto running = std::make_unique<Running>();
  running->id = nextId_++;
  running->job = std::move(job);
  Running* r = running.get();
  state.running = std::move(running);
  try {
    r->thread = std::thread([this, lane, r] {
      // nothing leaves this body as an exception: errors travel back to the window's thread
      Apply apply;
      std::string error;
      bool cancelled = false;
      try {
        apply = r->job.work(r->progress);
      } catch (const JobCancelled&) {
        cancelled = true;
      } catch (const std::bad_alloc&) {
        error = "there is not enough memory for it";
      } catch (const std::exception& e) {
        error = e.what();
      } catch (...) {
        error = "an unexpected error stopped it";
      }
      cancelled = cancelled || r->progress.cancelRequested();
      QMetaObject::invokeMethod(
          this,
          [this, lane, id = r->id, apply = std::move(apply), error = std::move(error), cancelled] {
            finished(lane, id, apply, error, cancelled);
          },
          Qt::QueuedConnection);
    });
  } catch (const std::system_error& e) {
    // no thread to be had: report it as the job's failure, on the window's thread as always
    const std::uint64_t id = r->id;
    QMetaObject::invokeMethod(
        this,
        [this, lane, id, what = std::string("no thread could be started for it: ") + e.what()] {
          finished(lane, id, {}, what, false);
        },
        Qt::QueuedConnection);
  }
  if (lane == Lane::analysis) emit analysisStarted();
}

void JobRunner::finished(Lane lane, std::uint64_t id, Apply apply, std::string error,
                         bool cancelled) {
  LaneState& state = of(lane);
  if (!state.running || state.running->id != id) return;
  std::unique_ptr<Running> done = std::move(state.running);
  if (done->thread.joinable()) done->thread.join();
  if (lane == Lane::analysis) emit analysisWorkEnded();

  // a cancel asked for after the work ended, but before its result is applied here, still wins
  cancelled = cancelled || done->progress.cancelRequested();
  // the lane is free again before the result is applied, so a continuation may start a new job
  try {
    if (cancelled) {
      if (done->job.cancelled) done->job.cancelled();
    } else if (!error.empty()) {
      if (done->job.failed) done->job.failed(error);
    } else if (apply) {
      apply();
    }
  } catch (const std::exception& e) {
    if (done->job.failed) done->job.failed(e.what());
  } catch (...) {
    if (done->job.failed) done->job.failed("an unexpected error stopped it");
  }

  if (lane != Lane::analysis && !state.running && state.queued) {
    std::unique_ptr<Job> next = std::move(state.queued);
    launch(lane, std::move(*next));
  }
  if (lane == Lane::analysis && !state.running) emit analysisEnded();
  if (idle()) emit becameIdle();
}

void JobRunner::cancel(Lane lane) {
  LaneState& state = of(lane);
  state.queued.reset();
  if (state.running) state.running->progress.requestCancel();
}

QString JobRunner::analysisTitle() const {
  const LaneState& state = of(Lane::analysis);
  return state.running ? state.running->job.title : QString();
}

int JobRunner::analysisPercent() const {
  const LaneState& state = of(Lane::analysis);
  return state.running ? static_cast<int>(std::lround(100 * state.running->progress.fraction())) : 0;
}

bool JobRunner::analysisPageGauge() const {
  const LaneState& state = of(Lane::analysis);
  return state.running && state.running->job.pageGauge;
}

}  // namespace varno
