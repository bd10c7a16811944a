// Recomputes while following are spaced by their own cost, and the rows of the last minute count
// from the right base; every time here is given, none is read from a clock.
#include "core/refresh_throttle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/recent_growth.h"

namespace varno {
namespace {

TEST(RefreshThrottle, SpacesRecomputesByTheLongerOfTheIntervalAndFiveTimesTheirCost) {
  struct Case {
    const char* name;
    double start, duration;
    double before, from;  // refused at `before`, allowed from `from`
  } cases[] = {
      {"a quick result waits the least interval", 10, 0.1, 11.99, 12},
      {"a result of 3 s waits 15 s from its start", 10, 3, 24.99, 25},
      {"a result of exactly a fifth of the interval", 10, 0.4, 11.99, 12},
      {"a result of 20 s waits 100 s", 0, 20, 99.9, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RefreshThrottle throttle;
    EXPECT_TRUE(throttle.allows(0)) << "nothing ran yet";
    throttle.ran(c.start, c.duration);
    EXPECT_FALSE(throttle.allows(c.before));
    EXPECT_TRUE(throttle.allows(c.from));
    EXPECT_DOUBLE_EQ(throttle.nextStart(), c.from);
  }
}

TEST(RefreshThrottle, TheLastRecomputeSetsTheSpacingAndResetForgetsIt) {
  RefreshThrottle throttle(2.0, 0.2);
  throttle.ran(0, 4);  // next at 20
  throttle.ran(20, 0.2);  // a cheap one after it: next at 22, not 20 + 20
  EXPECT_FALSE(throttle.allows(21.9));
  EXPECT_TRUE(throttle.allows(22));
  throttle.ran(22, 10);
  EXPECT_FALSE(throttle.allows(60));
  throttle.reset();
  EXPECT_TRUE(throttle.allows(23));
}

TEST(RecentGrowth, CountsTheRowsGainedSinceAMinuteAgo) {
  struct Case {
    const char* name;
    std::vector<std::pair<double, long long>> records;
    double now;
    long long added;
  } cases[] = {
      {"nothing recorded", {}, 5, 0},
      {"less than a minute of following counts from its start", {{0, 100}, {1, 150}, {30, 400}}, 30, 300},
      {"the base is the last record at or before a minute ago",
       {{0, 100}, {10, 200}, {50, 600}, {70, 1000}},
       70,
       800},
      {"a record exactly a minute ago is the base", {{0, 100}, {30, 200}, {60, 700}}, 60, 600},
      {"no growth in the last minute", {{0, 100}, {10, 500}, {100, 500}}, 100, 0},
      {"a file read anew with fewer rows counts from there", {{0, 1000}, {1, 1200}, {2, 300}, {3, 350}}, 3, 50},
      {"asked later than the last record", {{0, 100}, {10, 300}}, 65, 200},
      {"asked long after: the last record alone", {{0, 100}, {10, 300}}, 200, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecentGrowth growth;
    for (const auto& [time, rows] : c.records) growth.record(time, rows);
    EXPECT_EQ(growth.addedInLastMinute(c.now), c.added);
  }
}

}  // namespace
}  // namespace varno
