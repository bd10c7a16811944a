// The columns a convergence target can list, and the item that names each in its text: an item
// must read back as that column and no other.
#include <gtest/gtest.h>

#include "report/convergence_target.h"
#include "report/target_columns.h"

namespace varno {
namespace {

TEST(TargetColumns, TheCounterIsLeftOutAndEachItemNamesItsColumnOnly) {
  // column 1 counts the rows; the names a header could give
  SampleTable table(7, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 7; ++c) table.cell(c, r) = c == 0 ? static_cast<float>(r + 1) : static_cast<float>(c * r);
  table.setColumnNames({"iter", "tau", "a,b", "2", "mu", "mu", " sigma"});
  const std::vector<TargetColumn> columns = targetColumns(table, {}, RowRange{0, 3});
  const struct {
    int column;
    const char* item;
  } expected[] = {
      {2, "tau"},
      {3, "3"},  // a comma would end the item
      {4, "4"},  // "2" would name column 2
      {5, "5"},  // the name is held twice
      {6, "6"},
      {7, "7"},  // blanks around an item are dropped when it is read
  };
  ASSERT_EQ(columns.size(), std::size(expected));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    SCOPED_TRACE(expected[i].column);
    EXPECT_EQ(columns[i].column, expected[i].column);
    EXPECT_EQ(columns[i].item, expected[i].item);
    // the target's text with this item alone lists this column and no other
    const std::string text = "rhat<=1.01,columns=" + columns[i].item;
    const auto read = parseConvergenceTarget(text);
    ASSERT_TRUE(read.target) << read.error;
    for (const TargetColumn& other : columns)
      EXPECT_EQ(namesTargetColumn(read.target->columns.at(0), other), other.column == columns[i].column) << other.column;
  }
}

}  // namespace
}  // namespace varno
