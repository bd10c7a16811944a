// Waiting for the window's background jobs, for tests and benchmarks.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno::testing {

// Runs the event loop until the runner's jobs are done and their results applied; false when they
// were not done after two minutes. The deadline only keeps a broken test from hanging the suite.
inline bool waitUntilIdle(const JobRunner& jobs) {
  if (!jobs.idle()) {
    // sleeps until the runner says it is idle: a spinning wait would take a core from the jobs
    QEventLoop loop;
    QObject::connect(&jobs, &JobRunner::becameIdle, &loop, &QEventLoop::quit);
    QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  QCoreApplication::processEvents();
  return jobs.idle();
}

// The same for the window's background jobs.
inline bool waitUntilIdle(const TForm3& form) { return waitUntilIdle(form.jobs()); }

}  // namespace varno::testing
