// When a page's results, recomputed as followed files grow, may be computed again: at most once
// every few seconds, and never for more than a share of the time, so that a result that takes
// long is refreshed seldom instead of keeping the machine busy. Times are seconds on any clock
// the caller keeps; nothing here reads one.
#pragma once

namespace varno {

class RefreshThrottle {
 public:
  // minInterval: the least time from one start to the next; busyShare: the largest share of the
  // time spent computing (0.2: a result that took 3 s waits 15 s from its start).
  explicit RefreshThrottle(double minInterval = 2.0, double busyShare = 0.2)
      : minInterval_(minInterval), busyShare_(busyShare) {}

  // A recompute started at `start` and took `duration`.
  void ran(double start, double duration);
  // The earliest time the next recompute may start; any time when none ran yet.
  double nextStart() const { return next_; }
  bool allows(double now) const { return !ranOnce_ || now >= next_; }
  // Forgets what ran: a new analysis starts unthrottled.
  void reset() { ranOnce_ = false; next_ = 0; }

 private:
  double minInterval_;
  double busyShare_;
  bool ranOnce_ = false;
  double next_ = 0;
};

}  // namespace varno
