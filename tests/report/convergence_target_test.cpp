// The convergence target: its text read and refused, its evaluation over summary rows, its status line.
#include "report/convergence_target.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varno {
namespace {

TEST(ConvergenceTarget, ReadsGoodTexts) {
  struct Case {
    std::string text;
    ConvergenceTarget target;
  };
  const Case cases[] = {
      {"ess_bulk>=400,ess_tail>=400,rhat<=1.01", {400.0, 400.0, 1.01, {}}},
      {"rhat<=1.05", {std::nullopt, std::nullopt, 1.05, {}}},
      {" ess_tail>=1e3 , ess_bulk>=250.5 ", {250.5, 1000.0, 1.01, {}}},
      {"ess_bulk>=0,columns=tau", {0.0, std::nullopt, 1.01, {"tau"}}},
      {"rhat<=1.01,columns= Fst1 , 3,Sigma ²", {std::nullopt, std::nullopt, 1.01, {"Fst1", "3", "Sigma ²"}}},
      {"columns=a", {std::nullopt, std::nullopt, 1.01, {"a"}}},
  };
  for (const Case& c : cases) {
    const ParsedTarget parsed = parseConvergenceTarget(c.text);
    ASSERT_TRUE(parsed.target) << c.text << ": " << parsed.error;
    EXPECT_EQ(*parsed.target, c.target) << c.text;
    // its own text reads back as the same target
    EXPECT_EQ(parseConvergenceTarget(convergenceTargetText(*parsed.target)).target, parsed.target) << c.text;
  }
}

TEST(ConvergenceTarget, RefusesBadTextsNamingThePart) {
  struct Case {
    std::string text, error;
  };
  const Case cases[] = {
      {"rhat<1.01x", "--until: \"rhat<1.01x\" is not a bound: write rhat<=NUMBER"},
      {"rhat<=1.01x", "--until: \"rhat<=1.01x\" is not a bound: write rhat<=NUMBER"},
      {"ess_bulk>=400,ess_tail=>400", "--until: \"ess_tail=>400\" is not a bound: write ess_tail>=NUMBER"},
      {"ess_bulk>=inf", "--until: \"ess_bulk>=inf\" is not a bound: write ess_bulk>=NUMBER"},
      {"ess_bulk>=-1", "--until: \"ess_bulk>=-1\" is not a bound: an ESS is 0 or more"},
      {"rhat<=0.99", "--until: \"rhat<=0.99\" is not a bound: an R-hat bound is 1 or more"},
      {"rhat<=1.01,rhat<=1.1", "--until: rhat is given twice"},
      {"ess_tail>=1,ess_tail>=2", "--until: ess_tail is given twice"},
      {"ess>=400",
       "--until: \"ess>=400\" is not a part of a target: write ess_bulk>=NUMBER, ess_tail>=NUMBER, rhat<=NUMBER or, last, "
       "columns=NAME,NAME"},
      {"rhat<=1.01,", "--until: \"\" is not a part of a target: write ess_bulk>=NUMBER, ess_tail>=NUMBER, rhat<=NUMBER or, "
                      "last, columns=NAME,NAME"},
      {"columns", "--until: \"columns\" is not a column list: write columns=NAME,NAME as the last part"},
      {"columnsx=a", "--until: \"columnsx=a\" is not a column list: write columns=NAME,NAME as the last part"},
      {"columns=a,,b",
       "--until: \"columns=a,,b\" has an empty column name: write columns=NAME,NAME (names or numbers) as the last part"},
      {"columns=", "--until: \"columns=\" has an empty column name: write columns=NAME,NAME (names or numbers) as the last part"},
      {"  ", "--until: the target is empty: write e.g. ess_bulk>=400,ess_tail>=400,rhat<=1.01"},
  };
  for (const Case& c : cases) {
    const ParsedTarget parsed = parseConvergenceTarget(c.text);
    EXPECT_FALSE(parsed.target) << c.text;
    EXPECT_EQ(parsed.error, c.error) << c.text;
  }
}

SummaryRow row(int column, std::string name, std::optional<double> bulk, std::optional<double> tail,
               std::optional<double> rhat, ColumnKind kind = ColumnKind::quantity) {
  SummaryRow r;
  r.column = column;
  r.name = std::move(name);
  r.kind = kind;
  r.n = 400;
  r.sd = 1.0;
  r.chainsLength = 100;
  r.diagnostics = {bulk, tail, rhat, 0.1};
  return r;
}

TEST(ConvergenceTarget, EvaluatesTheCountedColumns) {
  std::vector<SummaryRow> rows = {
      row(1, "Iteration", std::nullopt, std::nullopt, std::nullopt, ColumnKind::counter),
      row(2, "Model", std::nullopt, std::nullopt, std::nullopt, ColumnKind::modelLabel),
      row(3, "tau", 900, 212, 1.004),
      row(4, "sigma", 390, 800, 1.002),
      row(5, "alpha1", 2000, 1500, 1.02, ColumnKind::factorCoefficient),
      row(6, "fixed", std::nullopt, std::nullopt, std::nullopt),
      row(7, "beta", 780, 950, 1.001),
  };
  rows[5].sd = 0.0;  // all draws equal: nothing to converge

  // 4 chains: the ESS bounds default to 400
  const TargetEvaluation all = evaluateConvergenceTarget({}, rows, 4);
  EXPECT_FALSE(all.met);
  EXPECT_EQ(all.counted, 4);
  ASSERT_EQ(all.misses.size(), 3u);
  EXPECT_EQ(all.misses[0].name, "tau");
  EXPECT_TRUE(all.misses[0].essTail);
  EXPECT_FALSE(all.misses[0].essBulk || all.misses[0].rhat);
  EXPECT_TRUE(all.misses[1].essBulk);
  EXPECT_EQ(all.misses[2].column, 5);
  EXPECT_TRUE(all.misses[2].rhat);
  EXPECT_EQ(all.lowestTailEss, 212);
  EXPECT_EQ(all.lowestTailColumn, "tau");
  EXPECT_EQ(all.essBulkBound, 400);
  // four counted columns of 4 x 100 draws: about one in ten misses R-hat 1.01 by chance
  EXPECT_NEAR(all.chanceRhatMisses, 0.4, 0.05);
  EXPECT_EQ(convergenceTargetStatus(all, 400), "target not met: 3 quantities, lowest tail ESS 212 (tau)");

  // 8 chains raise the default ESS bounds to 800: beta misses too
  EXPECT_EQ(evaluateConvergenceTarget({}, rows, 8).misses.size(), 4u);

  // a list of columns, by name and by number; counter and unknown names never count
  ConvergenceTarget listed;
  listed.columns = {"beta", "1", "3", "nope"};
  listed.essTail = 200;
  const TargetEvaluation some = evaluateConvergenceTarget(listed, rows, 4);
  EXPECT_TRUE(some.met);
  EXPECT_EQ(some.counted, 2);
  EXPECT_EQ(some.unknownColumns, std::vector<std::string>{"nope"});
  EXPECT_EQ(convergenceTargetStatus(some, 84000),
            "target met at row 84,000 (all 2 quantities: bulk ESS ≥ 400, tail ESS ≥ 200, R-hat ≤ 1.01)");

  ConvergenceTarget oneColumn{400.0, 400.0, 1.01, {"beta"}};
  EXPECT_EQ(convergenceTargetStatus(evaluateConvergenceTarget(oneColumn, rows, 4), 1200),
            "target met at row 1,200 (the 1 quantity: ESS ≥ 400, R-hat ≤ 1.01)");

  // a counted column without diagnostics misses; none counted is never met
  rows[5].sd = 2.0;
  EXPECT_EQ(evaluateConvergenceTarget({}, rows, 4).misses.size(), 4u);
  ConvergenceTarget counterOnly{std::nullopt, std::nullopt, 1.01, {"Iteration", "Model"}};
  const TargetEvaluation none = evaluateConvergenceTarget(counterOnly, rows, 4);
  EXPECT_FALSE(none.met);
  EXPECT_EQ(convergenceTargetStatus(none, 10), "target not met: no quantity counts");
}

TEST(ConvergenceTarget, StatusSaysHowManyRhatMissesChanceWouldGive) {
  // 40 converged-looking columns of 4 x 100 draws, 5 of them just above R-hat 1.01
  std::vector<SummaryRow> rows;
  for (int c = 1; c <= 40; ++c) rows.push_back(row(c, "p" + std::to_string(c), 1000, 23000 - 500 * c, c <= 5 ? 1.012 : 1.003));
  const TargetEvaluation evaluation = evaluateConvergenceTarget({}, rows, 4);
  EXPECT_EQ(evaluation.misses.size(), 5u);
  EXPECT_EQ(convergenceTargetStatus(evaluation, 23000),
            "target not met: 5 quantities, lowest tail ESS 3,000 (p40); 5 miss R-hat, chance alone would give about 4");
  // long chains: chance gives next to none, and the line does not say it
  for (SummaryRow& r : rows) r.chainsLength = 20000;
  EXPECT_EQ(convergenceTargetStatus(evaluateConvergenceTarget({}, rows, 4), 80000),
            "target not met: 5 quantities, lowest tail ESS 3,000 (p40)");
}

}  // namespace
}  // namespace varno
