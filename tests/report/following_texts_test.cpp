// The status line of following and the rows a shown result describes, as the user reads them.
#include "report/following_texts.h"

#include <gtest/gtest.h>

#include <memory>

namespace varno {
namespace {

TEST(FollowingTexts, StatusLineCountsChainsAndRowsWithGroupedThousands) {
  struct Case {
    int chains;
    long long rows, added;
    const char* text;
  } cases[] = {
      {4, 123456, 1200, "following 4 chains: 123,456 rows, +1,200 in the last minute"},
      {1, 999, 0, "following 1 chain: 999 rows, +0 in the last minute"},
      {2, 1, 1, "following 2 chains: 1 row, +1 in the last minute"},
  };
  for (const Case& c : cases) EXPECT_EQ(followingStatus(c.chains, c.rows, c.added), c.text);
}

TEST(FollowingTexts, RowsDescribedAreTheRetainedRowsOneBased) {
  const auto table = std::make_shared<const SampleTable>();
  struct Case {
    const char* name;
    std::vector<RowRange> rows;
    const char* text;
  } cases[] = {
      {"no chains", {}, ""},
      {"one chain", {{0, 120000}}, "rows 1\u2013120,000"},
      {"one chain after a burn-in", {{1000, 5000}}, "rows 1,001\u20135,000"},
      {"one chain retaining nothing", {{10, 10}}, "no rows"},
      {"chains retaining alike", {{0, 300}, {0, 300}, {0, 300}}, "rows 1\u2013300 of each of the 3 chains"},
      {"chains of different lengths", {{0, 300}, {0, 280}}, "rows 1\u2013300, 1\u2013280 of the 2 chains"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ChainRows> chains;
    for (const RowRange& r : c.rows) chains.push_back({table, r});
    EXPECT_EQ(rowsDescribed(chains), c.text);
  }
}

}  // namespace
}  // namespace varno
