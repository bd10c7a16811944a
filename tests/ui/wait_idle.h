// Waiting for the window's background jobs, for tests and benchmarks.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno::testing {

// Runs the event loop until the window's background jobs are done and their results applied;
// false when they were not done after two minutes. The deadline only keeps a broken test from
// hanging the suite.
inline bool waitUntilIdle(const TForm3& form) {
  if (!form.jobs().idle()) {
    // sleeps until the runner says it is idle: a spinning wait would take a core from the jobs
    QEventLoop loop;
    QObject::connect(&form.jobs(), &JobRunner::becameIdle, &loop, &QEventLoop::quit);
    QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  QCoreApplication::processEvents();
  return form.jobs().idle();
}

}  // namespace varno::testing
