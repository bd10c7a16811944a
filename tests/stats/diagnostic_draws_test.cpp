// Which draws a column's diagnostics use: counters, model labels and factor coefficients.
#include "stats/diagnostic_draws.h"

#include <gtest/gtest.h>

#include <vector>

namespace varno {
namespace {

// An fst table of one population with two factors and the interaction: Iteration, Sigma,
// log likelihood, Fst1, Model, alpha0 .. alpha3, six rows visiting models 1 .. 5 and 7.
SampleTable fstTable() {
  const std::vector<std::vector<float>> columns = {
      {10, 20, 30, 40, 50, 60}, {1, 2, 3, 4, 5, 6}, {-1, -2, -3, -4, -5, -6}, {.1f, .2f, .3f, .4f, .5f, .6f},
      {1, 2, 3, 4, 5, 7},       {9, 8, 7, 6, 5, 4}, {0, 1.5f, 0, 2.5f, 3.5f, 0}, {0, 0, 4, 5, 6, 0},
      {0, 0, 0, 0, 7, 0}};
  SampleTable table(static_cast<int>(columns.size()), 6);
  for (int c = 0; c < table.columnCount(); ++c)
    for (int r = 0; r < 6; ++r) table.cell(c, r) = columns[c][r];
  return table;
}

TEST(DiagnosticDraws, FstColumnsByTheirPlaceAndCoefficientsByTheirModels) {
  const SampleTable table = fstTable();
  const TableLayout layout{FileKind::fst, 1, 3, true};
  struct Case {
    int column;
    RowRange rows;
    int modelFilter;
    ColumnKind kind;
    std::vector<double> values;
  };
  const Case cases[] = {
      {0, {0, 6}, 0, ColumnKind::counter, {10, 20, 30, 40, 50, 60}},
      {4, {0, 6}, 0, ColumnKind::modelLabel, {1, 2, 3, 4, 5, 7}},
      {3, {1, 5}, 0, ColumnKind::quantity, {.2f, .3f, .4f, .5f}},
      {5, {0, 6}, 3, ColumnKind::quantity, {7}},          // alpha0: every model
      {6, {0, 6}, 0, ColumnKind::factorCoefficient, {1.5f, 2.5f, 3.5f}},  // G1: models 2, 4, 5
      {7, {0, 6}, 0, ColumnKind::factorCoefficient, {4, 5, 6}},           // G2: models 3, 4, 5
      {8, {0, 6}, 0, ColumnKind::factorCoefficient, {7}},                 // G1*G2: model 5; 7 is no model
      {6, {0, 6}, 4, ColumnKind::factorCoefficient, {2.5f}},              // after the model filter
      {6, {0, 6}, 3, ColumnKind::factorCoefficient, {}},                  // model 3 leaves G1 out
      {6, {2, 6}, 0, ColumnKind::factorCoefficient, {2.5f, 3.5f}},        // retained rows only
  };
  for (const Case& c : cases) {
    const DiagnosticDraws draws = diagnosticDraws(table, c.column, layout, c.rows, c.modelFilter);
    EXPECT_EQ(draws.kind, c.kind) << "column " << c.column;
    EXPECT_EQ(draws.values, c.values) << "column " << c.column << ", model " << c.modelFilter;
    EXPECT_EQ(draws.diagnosed(), c.kind == ColumnKind::quantity || c.kind == ColumnKind::factorCoefficient);
  }
  // three factors without the interaction: model 5 holds only G3, model 7 holds G3 and G2
  const TableLayout plain{FileKind::fst, 1, 3, false};
  EXPECT_EQ(diagnosticDraws(table, 6, plain, {0, 6}, 0).values, (std::vector<double>{1.5f, 2.5f}));
  EXPECT_EQ(diagnosticDraws(table, 8, plain, {0, 6}, 0).values, (std::vector<double>{7, 0}));
}

TEST(DiagnosticDraws, AFirstColumnIsACounterOnlyWhenItStepsEvenlyUp) {
  struct Case {
    const char* name;
    std::vector<float> first;
    RowRange rows;
    ColumnKind kind;
  };
  const Case cases[] = {
      {"step 10", {0, 10, 20, 30}, {0, 4}, ColumnKind::counter},
      {"step 1 from 5", {5, 6, 7, 8}, {0, 4}, ColumnKind::counter},
      {"uneven step", {0, 10, 20, 31}, {0, 4}, ColumnKind::quantity},
      {"uneven only in the burn-in", {0, 3, 20, 30}, {1, 4}, ColumnKind::quantity},
      {"even after the burn-in", {7, 10, 20, 30}, {1, 4}, ColumnKind::counter},
      {"decreasing", {30, 20, 10, 0}, {0, 4}, ColumnKind::quantity},
      {"constant", {1, 1, 1, 1}, {0, 4}, ColumnKind::quantity},
      {"one retained row", {0, 10, 20, 30}, {3, 4}, ColumnKind::quantity},
  };
  for (const Case& c : cases) {
    SampleTable table(2, 4);
    for (int r = 0; r < 4; ++r) {
      table.cell(0, r) = c.first[r];
      table.cell(1, r) = c.first[r];  // the same values in a second column are a quantity
    }
    for (FileKind kind : {FileKind::other, FileKind::frq}) {
      const TableLayout layout{kind, 0, 0, false};
      EXPECT_EQ(columnKind(table, 0, layout, c.rows), c.kind) << c.name;
      EXPECT_EQ(columnKind(table, 1, layout, c.rows), ColumnKind::quantity) << c.name;
    }
  }
}

}  // namespace
}  // namespace varno
