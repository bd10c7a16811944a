// Waiting for the window's background jobs, for tests and benchmarks.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno::testing {

// Runs the event loop until the window's background jobs are done and their results applied;
// false when they were not done after two minutes. The deadline only keeps a broken test from
// hanging the suite.
inline bool waitUntilIdle(const TForm3& form) {
  const QDeadlineTimer deadline(120'000);
  while (!form.jobs().idle() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  QCoreApplication::processEvents();
  return form.jobs().idle();
}

}  // namespace varno::testing
