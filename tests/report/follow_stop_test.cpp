// The confirmation of a target while following: which table of a sequence stops the run.
#include "report/follow_stop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varno {
namespace {

struct Table {
  long long rows;
  bool met;
};

TEST(FollowStop, ConfirmsAtTheRightTable) {
  struct Case {
    const char* name;
    FollowStopRule rule;
    std::vector<Table> tables;
    int confirmedAt;  // index of the table that confirms; -1: none
  };
  const Case cases[] = {
      {"never met", {}, {{100, false}, {200, false}, {400, false}}, -1},
      {"one table that meets is not enough", {}, {{100, false}, {1000, true}}, -1},
      {"default: 10% of the first's rows apart", {}, {{1000, true}, {1099, true}, {1100, true}}, 2},
      {"default rounds up: 105 rows need 11 more", {}, {{105, true}, {115, true}, {116, true}}, 2},
      {"a miss between resets", {}, {{1000, true}, {1050, false}, {1200, true}, {1300, true}, {1320, true}}, 4},
      {"given --confirm", {50, 0}, {{1000, true}, {1049, true}, {1050, true}}, 2},
      {"--confirm 0: the next table that meets", {0, 0}, {{10, true}, {11, true}}, 1},
      {"--confirm counts from the first, not the last", {50, 0}, {{100, true}, {130, true}, {149, true}, {150, true}}, 3},
      {"below --min-rows nothing starts", {10, 500}, {{100, true}, {200, true}, {499, true}, {500, true}, {509, true}, {510, true}}, 5},
      {"--min-rows: the confirming table may be the first at it", {10, 500}, {{490, true}, {500, true}, {510, true}}, 2},
      {"fewer rows (read anew) start over from that table", {100, 0}, {{1000, true}, {400, true}, {450, true}, {500, true}}, 3},
      {"fewer rows that miss start over as well", {100, 0}, {{1000, true}, {400, false}, {500, true}, {599, true}, {600, true}}, 4},
  };
  for (const Case& c : cases) {
    FollowStop stop(c.rule);
    int confirmedAt = -1;
    for (std::size_t i = 0; i < c.tables.size() && confirmedAt < 0; ++i)
      if (stop.confirms(c.tables[i].rows, c.tables[i].met)) confirmedAt = static_cast<int>(i);
    EXPECT_EQ(confirmedAt, c.confirmedAt) << c.name;
  }
}

TEST(FollowStop, SaysWhichTableWaitsAndWhatConfirmsIt) {
  FollowStop stop({std::nullopt, 0});
  EXPECT_FALSE(stop.firstMet());
  EXPECT_FALSE(stop.confirms(2000, true));
  EXPECT_EQ(stop.firstMet(), 2000);
  EXPECT_EQ(stop.confirmingRows(), 2200);
  EXPECT_FALSE(stop.confirms(2100, false));
  EXPECT_FALSE(stop.firstMet());
}

}  // namespace
}  // namespace varno
