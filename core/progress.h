// How far a long piece of work has come, and whether whoever waits for it wants it stopped.
#pragma once

#include <atomic>

namespace varno {

// Thrown by Progress::stopIfCancelled: the one way cancelled work ends. It passes through the
// work's own callers to whoever asked for the cancel; nothing the work was building is kept.
struct WorkCancelled {};

// Handed to a piece of work by whoever waits for it. The work reports the fraction done, from any
// of its threads, and stops when asked; the waiting side reads the fraction from any thread and
// may ask for the stop. Each side is one relaxed atomic, cheap enough for a reader's loop.
class Progress {
 public:
  Progress() = default;
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  virtual ~Progress() = default;

  // For callers that neither watch nor cancel: its reports are dropped and it is never cancelled.
  static Progress& unwatched();

  // Whether anybody reads the fraction; work may skip computing it when nobody does.
  bool watched() const { return watched_; }

  // The fraction done, clamped to [0, 1]; one lower than an earlier report is ignored, so the
  // fraction never goes back however the reporting threads interleave.
  void report(double fraction);
  double fraction() const { return fraction_.load(std::memory_order_relaxed); }

  void requestCancel();
  bool cancelRequested() const { return cancel_.load(std::memory_order_relaxed); }
  void stopIfCancelled() const {
    if (cancelRequested()) throw WorkCancelled{};
  }

 protected:
  // Told of each report that moved the fraction, on the reporting thread.
  virtual void moved(double /*fraction*/) {}

 private:
  struct Unwatched {};
  explicit Progress(Unwatched) : watched_(false) {}

  std::atomic<double> fraction_{0};
  std::atomic<bool> cancel_{false};
  bool watched_ = true;
};

}  // namespace varno
