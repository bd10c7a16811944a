// The page-job helper: a result is shown only while the inputs it was computed from are current,
// a failed or cancelled job drops the steps waiting for it, and the steps asked for while it runs
// follow its result in the order they were asked for.
#include "ui/page_job.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/ui/wait_idle.h"

namespace varno {
namespace {

// A page whose inputs are a number; everything the helper makes it do is written to `events`.
struct Page {
  JobRunner jobs;
  std::optional<int> current = 1;
  std::vector<std::string> events;
  std::function<void()> onStale;  // what the page does when a result came back stale
  PageJob<int> job{jobs, [this] { return current; }, [this] { recompute(); }};

  void recompute() {
    events.push_back("recompute");
    if (current) start(*current);
  }
  PageJob<int>::Run run(int inputs, std::string fault = {}) {
    PageJob<int>::Run r;
    r.title = "Computing";
    r.compute = [this, inputs, fault](Progress&) -> JobRunner::Apply {
      if (!fault.empty()) throw std::runtime_error(fault);
      return [this, inputs] { events.push_back("show " + std::to_string(inputs)); };
    };
    r.stale = [this] {
      events.push_back("stale");
      if (onStale) onStale();
    };
    r.failed = [this](const std::string& error) { events.push_back("failed: " + error); };
    r.cancelled = [this] { events.push_back("cancelled"); };
    return r;
  }
  bool start(int inputs, std::string fault = {}) { return job.start(inputs, run(inputs, std::move(fault))); }
  std::function<void()> step(std::string name) {
    return [this, name] { events.push_back(name); };
  }
  void waitIdle() { ASSERT_TRUE(testing::waitUntilIdle(jobs)); }
  // a job of another page on the lane
  bool startOther() {
    JobRunner::Job other;
    other.work = [this](Progress&) -> JobRunner::Apply { return [this] { events.push_back("other"); }; };
    return jobs.start(JobRunner::Lane::analysis, std::move(other));
  }
};

using Events = std::vector<std::string>;

// The inputs are compared when the result comes back, not when the job starts.
TEST(PageJob, ShowsAResultOnlyWhileItsInputsAreStillCurrent) {
  const struct {
    const char* what;
    std::optional<int> whileRunning;
    Events events;
    std::optional<int> shown;
  } cases[] = {
      {"inputs unchanged", 1, {"show 1"}, 1},
      {"inputs changed while it ran", 2, {"stale"}, std::nullopt},
      {"inputs no longer valid", std::nullopt, {"stale"}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Page page;
    ASSERT_TRUE(page.start(1));
    EXPECT_TRUE(page.job.running());
    page.current = c.whileRunning;
    page.waitIdle();
    EXPECT_EQ(page.events, c.events);
    EXPECT_EQ(page.job.shown(), c.shown);
    EXPECT_EQ(page.job.isCurrent(), c.shown.has_value());
    EXPECT_FALSE(page.job.running());
  }
}

TEST(PageJob, AShownResultStopsBeingCurrentWhenItsInputsChange) {
  Page page;
  ASSERT_TRUE(page.start(1));
  page.waitIdle();
  ASSERT_TRUE(page.job.isCurrent());
  page.current = 2;
  EXPECT_FALSE(page.job.isCurrent());
  EXPECT_EQ(page.job.shown(), 1);
  page.job.forget();
  page.current = 1;
  EXPECT_FALSE(page.job.isCurrent());
}

// A step asked for while the page's own job runs waits for its result; the steps run after it is
// shown, in the order they were asked for, and once only.
TEST(PageJob, StepsAskedForWhileItRunsFollowTheResultInOrder) {
  Page page;
  EXPECT_TRUE(page.job.accept(page.step("first")));  // nothing runs: the caller is to start the job
  ASSERT_TRUE(page.start(1));
  EXPECT_FALSE(page.job.accept(page.step("second")));
  EXPECT_FALSE(page.job.accept(page.step("third")));
  page.waitIdle();
  EXPECT_EQ(page.events, (Events{"show 1", "first", "second", "third"}));
  ASSERT_TRUE(page.start(1));
  page.waitIdle();
  EXPECT_EQ(page.events, (Events{"show 1", "first", "second", "third", "show 1"}));
}

// While the lane runs another job the request is refused and its step is not kept.
TEST(PageJob, ARequestWhileAnotherJobHoldsTheLaneIsRefused) {
  Page page;
  ASSERT_TRUE(page.startOther());
  EXPECT_FALSE(page.job.accept(page.step("refused")));
  EXPECT_FALSE(page.start(1));  // the lane takes no second job
  EXPECT_FALSE(page.job.running());
  page.waitIdle();
  ASSERT_TRUE(page.start(1));
  page.waitIdle();
  EXPECT_EQ(page.events, (Events{"other", "show 1"}));
}

// The steps waiting on a result that came back stale want the current inputs' result: from the
// page's own job if the change started one, else from one the helper asks the page for; when
// another job took the lane, nothing would run them soon, and they are dropped.
TEST(PageJob, StepsWaitingOnAStaleResultWaitForTheCurrentOne) {
  const struct {
    const char* what;
    void (*onStale)(Page&);
    Events events;
    std::optional<int> shown;
  } cases[] = {
      {"nothing started", nullptr, {"stale", "recompute", "show 2", "save"}, 2},
      {"the page started its own job", [](Page& p) { ASSERT_TRUE(p.start(2)); }, {"stale", "show 2", "save"}, 2},
      {"another job took the lane", [](Page& p) { ASSERT_TRUE(p.startOther()); }, {"stale", "other"}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Page page;
    if (c.onStale) page.onStale = [&page, f = c.onStale] { f(page); };
    ASSERT_TRUE(page.start(1));
    EXPECT_FALSE(page.job.accept(page.step("save")));
    page.current = 2;
    page.waitIdle();
    EXPECT_EQ(page.events, c.events);
    EXPECT_EQ(page.job.shown(), c.shown);
  }
}

// A job that fails or is cancelled shows nothing and drops what waited for it: a later result
// does not run those steps.
TEST(PageJob, AFailedOrCancelledJobDropsTheWaitingSteps) {
  const struct {
    const char* what;
    const char* fault;
    bool cancel;
    const char* said;
  } cases[] = {
      {"failed", "the table has 9 columns", false, "failed: the table has 9 columns"},
      {"cancelled", "", true, "cancelled"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Page page;
    ASSERT_TRUE(page.start(1, c.fault));
    EXPECT_FALSE(page.job.accept(page.step("save")));
    if (c.cancel) page.jobs.cancel(JobRunner::Lane::analysis);
    page.waitIdle();
    EXPECT_EQ(page.events, (Events{c.said}));
    EXPECT_EQ(page.job.shown(), std::nullopt);
    EXPECT_FALSE(page.job.running());
    ASSERT_TRUE(page.start(1));
    page.waitIdle();
    EXPECT_EQ(page.events, (Events{c.said, "show 1"}));
  }
}

}  // namespace
}  // namespace varno
