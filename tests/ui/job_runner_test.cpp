// The window's job runner: errors come back instead of ending the program, the analysis lane runs
// one job at a time, the figures lane keeps only the latest request, cancel drops a result.
#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

#include "tests/ui/wait_idle.h"
#include "ui/job_runner.h"

namespace varno {
namespace {

using Lane = JobRunner::Lane;

void waitIdle(const JobRunner& runner) { ASSERT_TRUE(testing::waitUntilIdle(runner)); }

TEST(JobRunner, AnErrorOnTheWorkerReachesTheWindowThreadAsAMessage) {
  const struct {
    const char* name;
    std::function<void()> fault;
    const char* said;
  } cases[] = {
      {"allocation failure", [] { throw std::bad_alloc(); }, "not enough memory"},
      {"runtime error", [] { throw std::runtime_error("the table has 9 columns"); }, "the table has 9 columns"},
      {"anything else", [] { throw 42; }, "unexpected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JobRunner runner;
    std::string failure;
    bool applied = false;
    JobRunner::Job job;
    job.work = [&c, &applied](Progress&) -> JobRunner::Apply {
      c.fault();
      return [&applied] { applied = true; };
    };
    job.failed = [&failure](const std::string& e) { failure = e; };
    ASSERT_TRUE(runner.start(Lane::analysis, std::move(job)));
    waitIdle(runner);
    EXPECT_NE(failure.find(c.said), std::string::npos) << failure;
    EXPECT_FALSE(applied);
  }
}

TEST(JobRunner, TheAnalysisLaneRefusesASecondJobWhileOneRuns) {
  JobRunner runner;
  int applied = 0;
  auto job = [&applied] {
    JobRunner::Job j;
    j.work = [&applied](Progress&) -> JobRunner::Apply { return [&applied] { ++applied; }; };
    return j;
  };
  ASSERT_TRUE(runner.start(Lane::analysis, job()));
  EXPECT_TRUE(runner.busy(Lane::analysis));
  EXPECT_FALSE(runner.start(Lane::analysis, job()));
  EXPECT_TRUE(runner.start(Lane::figures, job()));  // the other lane is free
  waitIdle(runner);
  EXPECT_EQ(applied, 2);
  EXPECT_TRUE(runner.start(Lane::analysis, job()));
  waitIdle(runner);
  EXPECT_EQ(applied, 3);
}

TEST(JobRunner, TheFiguresLaneRunsOnlyTheLatestOfTheRequestsMadeWhileOneRuns) {
  JobRunner runner;
  std::vector<int> applied;
  std::atomic<int> ran{0};
  auto job = [&](int n) {
    JobRunner::Job j;
    j.work = [&applied, &ran, n](Progress&) -> JobRunner::Apply {
      ++ran;
      return [&applied, n] { applied.push_back(n); };
    };
    return j;
  };
  for (int n = 1; n <= 4; ++n) runner.start(Lane::figures, job(n));
  waitIdle(runner);
  EXPECT_EQ(applied, (std::vector<int>{1, 4}));
  EXPECT_EQ(ran.load(), 2);
}

TEST(JobRunner, ACancelledJobIsDroppedAndSaysSo) {
  JobRunner runner;
  bool applied = false, cancelled = false, failed = false;
  JobRunner::Job job;
  job.work = [&applied](Progress& progress) -> JobRunner::Apply {
    while (!progress.cancelRequested()) {
    }
    return [&applied] { applied = true; };  // a result that comes anyway is not applied
  };
  job.cancelled = [&cancelled] { cancelled = true; };
  job.failed = [&failed](const std::string&) { failed = true; };
  ASSERT_TRUE(runner.start(Lane::analysis, std::move(job)));
  runner.cancel(Lane::analysis);
  waitIdle(runner);
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(applied);
  EXPECT_FALSE(failed);
}

// The work may already have ended when the user cancels: its result is still not applied.
TEST(JobRunner, ACancelAfterTheWorkEndedStillDropsTheResult) {
  JobRunner runner;
  bool applied = false, cancelled = false;
  std::atomic<bool> workDone{false};
  JobRunner::Job job;
  job.work = [&applied, &workDone](Progress&) -> JobRunner::Apply {
    workDone = true;
    return [&applied] { applied = true; };
  };
  job.cancelled = [&cancelled] { cancelled = true; };
  ASSERT_TRUE(runner.start(Lane::analysis, std::move(job)));
  while (!workDone) std::this_thread::yield();  // the result waits in the window thread's queue
  runner.cancel(Lane::analysis);
  waitIdle(runner);
  EXPECT_TRUE(cancelled);
  EXPECT_FALSE(applied);
}

// The gauges read the running analysis job's own progress: the window's gauge always, the page's
// gauge only for a job that says it has one; a job that stops on its progress's cancel request
// ends as cancelled, not as failed.
TEST(JobRunner, TheGaugeFollowsTheJobsProgressAndItsCancelStopsIt) {
  for (const bool pageGauge : {false, true}) {
    SCOPED_TRACE(pageGauge ? "with a page gauge" : "without a page gauge");
    JobRunner runner;
    bool applied = false, cancelled = false, failed = false;
    JobRunner::Job job;
    job.pageGauge = pageGauge;
    job.work = [&applied](Progress& progress) -> JobRunner::Apply {
      progress.report(0.37);
      for (;;) progress.stopIfCancelled();
      return [&applied] { applied = true; };
    };
    job.cancelled = [&cancelled] { cancelled = true; };
    job.failed = [&failed](const std::string&) { failed = true; };
    ASSERT_TRUE(runner.start(Lane::analysis, std::move(job)));
    while (runner.analysisPercent() == 0) std::this_thread::yield();
    EXPECT_EQ(runner.analysisPercent(), 37);
    EXPECT_EQ(runner.analysisPageGauge(), pageGauge);
    runner.cancel(Lane::analysis);
    waitIdle(runner);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(applied);
    EXPECT_EQ(runner.analysisPercent(), 0);
    EXPECT_FALSE(runner.analysisPageGauge());
  }
}

TEST(JobRunner, ARunnerDestroyedWhileAJobRunsStopsAndJoinsIt) {
  std::atomic<bool> stopped{false};
  {
    JobRunner runner;
    JobRunner::Job job;
    job.work = [&stopped](Progress& progress) -> JobRunner::Apply {
      while (!progress.cancelRequested()) {
      }
      stopped = true;
      return {};
    };
    runner.start(Lane::figures, std::move(job));
  }
  EXPECT_TRUE(stopped);
}

}  // namespace
}  // namespace varno
