// How long the window's thread is kept from its events: a 1 ms timer records the longest time
// between two turns of the event loop.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace varno::bench {

class GapProbe {
 public:
  GapProbe() {
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
    });
  }
  void start() {
    longest_ = 0;
    clock_.start();
    last_ = 0;
    if (!qEnvironmentVariableIsSet("NO_PROBE")) timer_.start();
  }
  double stopMs() {
    timer_.stop();
    return static_cast<double>(longest_) / 1e6;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0, longest_ = 0;
};

// Runs the event loop until `done`; the probe sees every turn.
template <class Done>
void runUntil(Done done) {
  // blocks until events come (the probe's timer, the jobs' results): no core is spent spinning
  while (!done()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

}  // namespace varno::bench
