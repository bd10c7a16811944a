// The fst column layout: where each quantity sits for every factor decision, and too narrow tables.
#include "core/table_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/column_catalogue.h"
#include "core/text_pieces.h"

namespace varno {
namespace {

struct Case {
  const char* name;
  int columns;
  FactorDecision decision;
  int populations;
  int lastFst;     // the column of the last population's Fst; -1: none
  int model;
  int constant;
  int lastFactor;  // the coefficient of the last factor; the constant when there is none
};

// Iteration, Sigma², log likelihood, Fst1 .. FstP, Model, alpha0 .. alphaF.
const Case kCases[] = {
    {"no factors", 7, {0, false}, 2, 4, 5, 6, 6},
    {"one factor", 9, {1, false}, 3, 5, 6, 7, 8},
    {"two factors", 10, {2, false}, 3, 5, 6, 7, 9},
    {"three factors", 12, {3, false}, 4, 6, 7, 8, 11},
    {"two factors and their interaction", 12, {3, true}, 4, 6, 7, 8, 11},
    {"no population", 7, {2, false}, 0, -1, 3, 4, 6},
};

TEST(TableLayout, PlacesEveryColumnOfTheFstTable) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const TableLayout layout = TableLayout::fst(c.columns, c.decision);
    EXPECT_EQ(layout.kind, FileKind::fst);
    EXPECT_EQ(layout.populationCount, c.populations);
    EXPECT_EQ(layout.factorCount, c.decision.factorCount);
    EXPECT_EQ(layout.hasInteraction, c.decision.hasInteraction);
    EXPECT_EQ(layout.fstColumn(1), 3);
    if (c.populations > 0) {
      EXPECT_EQ(layout.fstColumn(c.populations), c.lastFst);
    }
    EXPECT_EQ(layout.modelColumn(), c.model);
    EXPECT_EQ(layout.coefficientColumn(0), c.constant);
    EXPECT_EQ(layout.coefficientColumn(c.decision.factorCount), c.lastFactor);
    EXPECT_EQ(layout.columnCount(), c.columns);
    EXPECT_EQ(layout.columnsThroughModel(), c.model + 1);
    EXPECT_EQ(TableLayout::columnsNeeded(c.decision.factorCount), c.columns - c.populations);
    EXPECT_EQ(layout.decision().factorCount, c.decision.factorCount);
    EXPECT_EQ(layout.decision().hasInteraction, c.decision.hasInteraction);
  }
}

// The column chooser names each column: the layout must point at the column of that name.
TEST(TableLayout, AgreesWithTheColumnNames) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const TableLayout layout = TableLayout::fst(c.columns, c.decision);
    const std::vector<std::string> labels = fstColumnLabels(c.columns, c.decision.factorCount);
    ASSERT_EQ(static_cast<int>(labels.size()), c.columns);
    EXPECT_EQ(labels[TableLayout::kCounterColumn], "Iteration");
    EXPECT_EQ(labels[TableLayout::kSigmaColumn], "Sigma \xC2\xB2");
    EXPECT_EQ(labels[TableLayout::kLogLikelihoodColumn], "Log likelihood");
    for (int p = 1; p <= layout.populationCount; ++p) EXPECT_EQ(labels[layout.fstColumn(p)], "Fst" + decimal(p));
    EXPECT_EQ(labels[layout.modelColumn()], "Model");
    for (int f = 0; f <= layout.factorCount; ++f) EXPECT_EQ(labels[layout.coefficientColumn(f)], "alpha" + decimal(f));
  }
}

TEST(TableLayout, TooFewColumnsLeaveNoPopulationsAndOtherFilesNoModelColumn) {
  const struct {
    int columns;
    FactorDecision decision;
    int populations;
  } narrow[] = {{6, {2, false}, -1}, {4, {0, false}, -1}, {0, {3, true}, -8}, {5, {3, false}, -3}};
  for (const auto& c : narrow) {
    SCOPED_TRACE(c.columns);
    const TableLayout layout = TableLayout::fst(c.columns, c.decision);
    EXPECT_EQ(layout.populationCount, c.populations);
    EXPECT_LT(layout.populationCount, 0);
    EXPECT_GT(TableLayout::columnsNeeded(c.decision.factorCount), c.columns);
  }
  // counts far beyond int are still told apart in the wide arithmetic
  EXPECT_EQ(TableLayout::populationsIn(5, 2147483647LL), -2147483647LL);
  for (FileKind kind : {FileKind::frq, FileKind::other})
    EXPECT_EQ((TableLayout{kind, 4, 2, false}.modelColumn()), -1);
}

}  // namespace
}  // namespace varno
