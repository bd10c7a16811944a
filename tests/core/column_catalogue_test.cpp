// Column meanings: fst labels and layout checks, the frq locus walk and column mapping, reload choice.
#include "core/column_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace varno {
namespace {

using Labels = std::vector<std::string>;

// A one-row table holding the given first row; extra rows repeat it.
SampleTable tableOf(const std::vector<float>& firstRow, int rows = 1) {
  SampleTable table(static_cast<int>(firstRow.size()), rows);
  for (int c = 0; c < table.columnCount(); ++c)
    for (int r = 0; r < rows; ++r) table.cell(c, r) = firstRow[c];
  return table;
}

TEST(ColumnCatalogue, FstLabels) {
  struct Case {
    int columns, factors;
    Labels expected;
  };
  const Case cases[] = {
      {10, 2, {"Iteration", "Sigma \xC2\xB2", "Log likelihood", "Fst1", "Fst2", "Fst3", "Model", "alpha0", "alpha1", "alpha2"}},
      {5, 0, {"Iteration", "Sigma \xC2\xB2", "Log likelihood", "Model", "alpha0"}},
      {8, 3, {"Iteration", "Sigma \xC2\xB2", "Log likelihood", "Model", "alpha0", "alpha1", "alpha2", "alpha3"}},
      {17, 1, {"Iteration", "Sigma \xC2\xB2", "Log likelihood", "Fst1", "Fst2", "Fst3", "Fst4", "Fst5", "Fst6",
               "Fst7", "Fst8", "Fst9", "Fst10", "Fst11", "Model", "alpha0", "alpha1"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fstColumnLabels(c.columns, c.factors), c.expected) << c.columns << " columns, " << c.factors << " factors";
    EXPECT_EQ(static_cast<int>(c.expected.size()), c.columns) << "one entry per column";
  }
  // Too few columns for the factors: no Fst entries rather than a count that goes negative.
  EXPECT_EQ(fstColumnLabels(4, 2).size(), 7u);
}

TEST(ColumnCatalogue, OtherLabels) {
  EXPECT_EQ(otherColumnLabels(4), (Labels{"1", "2", "3", "4"}));
  EXPECT_EQ(otherColumnLabels(12).back(), "12");
  EXPECT_TRUE(otherColumnLabels(0).empty());
  // a header names the columns; a column it leaves unnamed keeps its number
  EXPECT_EQ(otherColumnLabels(3, {"lp__", "", "theta"}), (Labels{"lp__", "2", "theta"}));
  EXPECT_TRUE(otherLayoutError(0).has_value());
  EXPECT_FALSE(otherLayoutError(1).has_value());
}

TEST(ColumnCatalogue, FstLayoutNeedsFactorsPlusFiveColumns) {
  struct Case {
    int columns, factors;
    bool refused;
  };
  const Case cases[] = {{10, 2, false}, {7, 2, false}, {6, 2, true}, {5, 0, false}, {4, 0, true},
                        {8, 3, false},  {7, 3, true},  {0, 0, true}, {1, 3, true}};
  for (const Case& c : cases) {
    const auto error = fstLayoutError(c.columns, c.factors);
    EXPECT_EQ(error.has_value(), c.refused) << c.columns << " columns, " << c.factors << " factors";
  }
  // The message says how many columns there are and how many the factors need.
  const std::string message = fstLayoutError(6, 2).value();
  EXPECT_NE(message.find("6 columns"), std::string::npos) << message;
  EXPECT_NE(message.find("2 factors"), std::string::npos) << message;
  EXPECT_NE(message.find("at least 7"), std::string::npos) << message;
}

TEST(ColumnCatalogue, FrqAlleleCountsFromTheFirstRow) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<float> firstRow;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"two loci", {1, 2, 0.4f, 0.6f, 3, 0.2f, 0.3f, 0.5f}, {2, 3}},
      {"2.9 counts as 2", {1, 2.9f, 0.4f, 0.6f, 3, 0.2f, 0.3f, 0.5f}, {2, 3}},
      {"a count of 0", {1, 0, 2, 0.5f, 0.5f}, {0, 2}},
      {"-0.5 truncates to 0", {1, -0.5f, 1, 1}, {0, 1}},
      {"-1 ends the walk", {1, 2, 0.5f, 0.5f, -1, 0.3f, 0.7f}, {2}},
      {"-5 ends the walk", {1, 1, 1, -5, 0.3f, 0.7f}, {1}},
      {"first count -1", {1, -1, 0.3f}, {}},
      {"not a number ends the walk", {1, 1, 1, nan, 1}, {1}},
      {"count beyond the columns is cut", {1, 2, 0.5f, 0.5f, 4, 0.1f, 0.9f}, {2, 2}},
      {"infinite count is cut", {1, inf, 0.5f, 0.5f}, {2}},
      {"huge count is cut", {1, 3e9f, 0.5f}, {1}},
      {"count in the last column", {1, 1, 1, 5}, {1, 0}},
      {"only the iteration", {1}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frqAlleleCounts(tableOf(c.firstRow)), c.expected);
  }
  // Only the first row carries the structure.
  SampleTable two(4, 2);
  const float rows[4][2] = {{10, 20}, {2, 7}, {0.5f, 0.1f}, {0.5f, 0.9f}};
  for (int col = 0; col < 4; ++col)
    for (int r = 0; r < 2; ++r) two.cell(col, r) = rows[col][r];
  EXPECT_EQ(frqAlleleCounts(two), (std::vector<int>{2}));
  EXPECT_TRUE(frqAlleleCounts(SampleTable(5, 0)).empty());
}

TEST(ColumnCatalogue, FrqLayoutNeedsARowAndAnAllele) {
  EXPECT_FALSE(frqLayoutError(5, {2, 3}).has_value());
  EXPECT_FALSE(frqLayoutError(1, {0, 1}).has_value());
  EXPECT_TRUE(frqLayoutError(0, {2, 3}).has_value());
  EXPECT_TRUE(frqLayoutError(5, {}).has_value());
  EXPECT_TRUE(frqLayoutError(5, {0, 0}).has_value());
}

TEST(ColumnCatalogue, FrqColumnMapping) {
  struct Case {
    std::vector<int> counts;
    int locus, allele, column;  // locus and allele 0-based, column 1-based
  };
  const Case cases[] = {
      {{2, 3}, 0, 0, 3},  {{2, 3}, 0, 1, 4},  {{2, 3}, 1, 0, 6},  {{2, 3}, 1, 2, 8},
      {{3, 2}, 1, 0, 7},  {{3, 2}, 0, 2, 5},  {{0, 2}, 1, 1, 5},
      // alleles and loci that do not exist
      {{2, 3}, 1, 3, 0},  {{2, 3}, 2, 0, 0},  {{2, 3}, -1, 0, 0}, {{2, 3}, 0, -1, 0}, {{0, 2}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(frqColumn(c.counts, c.locus, c.allele), c.column) << "locus " << c.locus << " allele " << c.allele;
  }
  // Every allele counted from a first row maps to a column of that row, the counts just after
  // their locus count.
  const SampleTable table = tableOf({1, 2, 0.4f, 0.6f, 3, 0.2f, 0.3f, 0.5f});
  const auto counts = frqAlleleCounts(table);
  EXPECT_EQ(frqColumn(counts, 1, 2) - 1, 7);
  for (int l = 0; l < static_cast<int>(counts.size()); ++l) {
    for (int a = 0; a < counts[l]; ++a) {
      const int column = frqColumn(counts, l, a) - 1;
      ASSERT_LT(column, table.columnCount());
      EXPECT_LT(table.cell(column, 0), 1.0f) << "locus " << l << " allele " << a << " is a frequency";
    }
  }
}

TEST(ColumnCatalogue, LocusAndAlleleEntries) {
  const std::vector<int> counts = {2, 3};
  EXPECT_EQ(locusEntries(counts), (Labels{"1", "2"}));
  EXPECT_EQ(alleleEntries(counts, 0), (Labels{"1", "2"}));
  EXPECT_EQ(alleleEntries(counts, 1), (Labels{"1", "2", "3"}));
  EXPECT_TRUE(alleleEntries(counts, 2).empty());
  EXPECT_TRUE(alleleEntries(counts, -1).empty());
  EXPECT_TRUE(alleleEntries({0}, 0).empty());
}

TEST(ColumnCatalogue, ReloadSelection) {
  struct Case {
    int remembered, entries, fallback, expected;
  };
  const Case cases[] = {
      {4, 10, 1, 4}, {9, 10, 1, 9}, {10, 10, 1, 1}, {-1, 10, 1, 1}, {25, 7, 1, 1},
      {3, 1, 1, 0},  {0, 0, 1, -1}, {0, 4, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reloadSelection(c.remembered, c.entries, c.fallback), c.expected)
        << c.remembered << " of " << c.entries << ", default " << c.fallback;
  }
}

}  // namespace
}  // namespace varno
