// The model column against the factor decision: fractions refuse the layout, strange models are counted.
#include "stats/model_column_check.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "stats/data_range.h"

namespace varno {
namespace {

// One population: iteration, Sigma², log likelihood, Fst1, then the column checked (index 4).
SampleTable tableWithModels(const std::vector<float>& models) {
  SampleTable table(6, static_cast<int>(models.size()));
  for (int r = 0; r < table.rowCount(); ++r) table.cell(4, r) = models[static_cast<std::size_t>(r)];
  return table;
}

TableLayout fstLayout(int populations, const FactorDecision& decision) {
  return {FileKind::fst, populations, decision.factorCount, decision.hasInteraction};
}

TEST(ModelColumnCheck, FractionsInRetainedRowsRefuseAndWholeNumbersOutsideTheModelsAreCounted) {
  const struct {
    const char* name;
    std::vector<float> models;
    FactorDecision decision;
    RowRange rows;
    std::optional<std::string> mismatch;
    long long outside;
  } cases[] = {
      {"models of two factors", {1, 4, 2, 3}, {2, false}, {0, 4}, std::nullopt, 0},
      {"a coefficient where the model should be", {1, 0.0728f, 2}, {2, false}, {0, 3},
       "column 5 should hold model numbers 1 to 4 (2 factors) but holds 0.0728 in row 2", 0},
      {"a fraction in the burn-in is not looked at", {0.5f, 1, 2}, {1, false}, {1, 3}, std::nullopt, 0},
      {"nor in the burn-out", {1, 2, 2.5f}, {1, false}, {0, 2}, std::nullopt, 0},
      {"whole numbers beyond the models", {1, 5, 0, -3, 4, 9}, {2, false}, {0, 6}, std::nullopt, 4},
      {"the interaction has five models", {5, 6, 1}, {3, true}, {0, 3}, std::nullopt, 1},
      {"no factors", {1, 2}, {0, false}, {0, 2}, std::nullopt, 1},
      {"no factors with a fraction", {1, 0.25f}, {0, false}, {0, 2},
       "column 5 should hold model number 1 (no factors) but holds 0.25 in row 2", 0},
      {"interaction with a fraction", {7.5f}, {3, true}, {0, 1},
       "column 5 should hold model numbers 1 to 5 (two factors and their interaction) but holds 7.5 in row 1", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ModelColumnCheck check = checkModelColumn(tableWithModels(c.models), fstLayout(1, c.decision), c.rows);
    EXPECT_EQ(check.mismatch, c.mismatch);
    EXPECT_EQ(check.rowsOutsideModels, c.outside);
  }
  // a table too narrow for the column is the layout check's to refuse
  EXPECT_FALSE(checkModelColumn(tableWithModels({0.5f}), fstLayout(3, {2, false}), {0, 1}).mismatch);
}

TEST(ModelColumnCheck, TheNoteCountsRowsInWords) {
  EXPECT_EQ(rowsOutsideModelsNote(0, 4), "");
  EXPECT_EQ(rowsOutsideModelsNote(1, 4), "1 row carries a model number outside 1..4 and is not counted");
  EXPECT_EQ(rowsOutsideModelsNote(12, 4), "12 rows carry model numbers outside 1..4 and are not counted");
  EXPECT_EQ(rowsOutsideModelsNote(2, 1), "2 rows carry model numbers other than 1 and are not counted");
}

// The rows a file will retain once the window fits its burn values, known before it is read.
TEST(ModelColumnCheck, RetainedRowsOnOpenAreTheFittedRange) {
  const struct {
    std::optional<long long> burnIn, burnOut;  // nothing: the edit's text is not a whole number
    int rowCount, begin, end;
  } cases[] = {
      {10, 5, 100, 10, 95},  // fits as it is
      {500, 5, 100, 0, 100},  // does not fit: the whole table
      {10, 95, 100, 0, 100},
      {10, 88, 100, 10, 12},  // leaves two rows
      {std::nullopt, 5, 100, 0, 100},  // not a whole number: all rows
      {10, std::nullopt, 100, 0, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.burnIn.value_or(-1)) + " / " + std::to_string(c.burnOut.value_or(-1)));
    const RowRange rows = retainedRowsOnOpen(c.burnIn, c.burnOut, c.rowCount);
    EXPECT_EQ(rows.begin, c.begin);
    EXPECT_EQ(rows.end, c.end);
  }
}

}  // namespace
}  // namespace varno
