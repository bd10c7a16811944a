// Jeffreys' grades at each boundary, in both directions, and the labels of intervals.
#include "stats/evidence_label.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace varno {
namespace {

TEST(EvidenceGrade, EachBoundaryBelongsToTheLowerGradeInBothDirections) {
  struct Case {
    double size;
    const char* atBoundary;
    const char* above;
  };
  const Case cases[] = {
      {0.5, "barely worth mentioning", "substantial"},
      {1, "substantial", "strong"},
      {1.5, "strong", "very strong"},
      {2, "very strong", "decisive"},
  };
  for (const Case& c : cases) {
    const double next = std::nextafter(c.size, 10.0);
    EXPECT_EQ(evidenceGrade(c.size), std::string(c.atBoundary) + " for") << c.size;
    EXPECT_EQ(evidenceGrade(next), std::string(c.above) + " for") << c.size;
    EXPECT_EQ(evidenceGrade(-c.size), std::string(c.atBoundary) + " against") << c.size;
    EXPECT_EQ(evidenceGrade(-next), std::string(c.above) + " against") << c.size;
  }
  EXPECT_EQ(evidenceGrade(0), "barely worth mentioning");
  EXPECT_EQ(evidenceGrade(1e-9), "barely worth mentioning for");
  EXPECT_EQ(evidenceGrade(-40), "decisive against");
}

TEST(EvidenceLabel, NamesBothEndsOnlyWhenTheIntervalLeavesOneGradeAndDirection) {
  const std::optional<double> open;
  struct Case {
    std::optional<double> low, high;
    const char* label;
  };
  const Case cases[] = {
      {1.1, 1.4, "strong for"},
      {-1.4, -1.1, "strong against"},
      {1.7, 2.3, "very strong to decisive for"},
      {-2.3, -1.7, "very strong to decisive against"},
      {0.2, 1.2, "barely worth mentioning to strong for"},
      {-0.7, 1.2, "substantial against to strong for"},
      {-0.2, 0.3, "barely worth mentioning against to barely worth mentioning for"},
      {0.5, 1, "barely worth mentioning to substantial for"},  // both ends on a boundary
      {0, 0.4, "barely worth mentioning for"},                 // an end at 0 takes the other's direction
      {-0.8, 0, "barely worth mentioning to substantial against"},
      {2.5, open, "decisive for"},  // an unbounded end is decisive in its direction
      {0.3, open, "barely worth mentioning to decisive for"},
      {open, -2.1, "decisive against"},
      {open, 0.1, "decisive against to barely worth mentioning for"},
      {open, open, "decisive against to decisive for"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(evidenceLabel(c.low, c.high), c.label) << c.low.value_or(-99) << " " << c.high.value_or(99);
  }
}

}  // namespace
}  // namespace varno
