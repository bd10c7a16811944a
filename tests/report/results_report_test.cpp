// The results report: both worked examples byte for byte, the layout's edges and missing input.
#include "report/results_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace varno {
namespace {

SummaryArrays arrays(std::vector<double> mean, std::vector<double> mode, std::vector<double> low,
                     std::vector<double> high) {
  SummaryArrays a;
  a.mean = std::move(mean);
  a.mode = std::move(mode);
  a.low = std::move(low);
  a.high = std::move(high);
  return a;
}

// Two populations, two factors without interaction, 1000 retained rows, model 2 best.
ReportInputs exampleWithoutInteraction() {
  ReportInputs in;
  in.populationCount = 2;
  in.factorCount = 2;
  in.fstSummary = arrays({0.1234, 0.0456}, {0.1187, 0.0412}, {0.0521, 0.01234}, {0.2013, 0.0897});
  in.factorValues = {{1.5f, -0.25f, 0.0f}, {2.0f, 0.75f, 0.0f}};
  in.modelProbabilities[0] = 120;
  in.modelProbabilities[1] = 480;
  in.modelProbabilities[2] = 100;
  in.modelProbabilities[3] = 300;
  in.bestModel = 2;
  in.coefficientSummary = arrays({-2.15, 0.734, 0}, {-2.10, 0.701, 0}, {-2.87, 0.112, 0}, {-1.42, 1.35, 0});
  in.sigmaSummary = {0.0523, 0.0488, 0.0301, 0.0795};
  in.rowCount = 1000;
  return in;
}

// The same populations with the interaction G1*G2 as third factor, model 5 best.
ReportInputs exampleWithInteraction() {
  ReportInputs in = exampleWithoutInteraction();
  in.factorCount = 3;
  in.hasInteraction = true;
  in.factorValues = {{1.5f, -0.25f, -0.375f, 0.0f}, {2.0f, 0.75f, 1.5f, 0.0f}};
  const double counts[] = {50, 200, 100, 400, 250};
  for (int m = 0; m < 5; ++m) in.modelProbabilities[static_cast<std::size_t>(m)] = counts[m];
  in.bestModel = 5;
  in.coefficientSummary =
      arrays({-2.15, 0.734, 0.0912, 0.2}, {-2.10, 0.701, 0.0855, 0.19}, {-2.87, 0.112, -0.3, 0.05},
             {-1.42, 1.35, 0.51, 0.33});
  return in;
}

TEST(ResultsReport, WritesBothExamplesByteForByte) {
  struct Case {
    const char* name;
    ReportInputs inputs;
    std::string expected;
  };
  const Case cases[] = {
      {"without interaction", exampleWithoutInteraction(),
       "       Fst statistics:                    Factors: \n"
       "       mean    mode        95% HPDI       G1      G2      \n"
       "Pop1   0.123   0.119   [0.0521 ; 0.201 ]  1.50    -0.250  \n"
       "Pop2   0.0456  0.0412  [0.0123 ; 0.0897]  2.00    0.750   \n"
       "\n"
       "P(model=1)= 0.120  (Constant)\n"
       "P(model=2)= 0.480  (Constant, G1)\n"
       "P(model=3)= 0.100  (Constant, G2)\n"
       "P(model=4)= 0.300  (Constant, G2, G1)\n"
       "\n"
       "P(G1)= 0.780 \n"
       "P(G2)= 0.400 \n"
       "\n"
       "Highest probaility model: 2 (Constant, G1)\n"
       "\n"
       "       mean    mode        95% HPDI \n"
       "a0     -2.15   -2.10   [-2.87  ; -1.42 ]  (Constant)\n"
       "a1     0.734   0.701   [0.112  ; 1.35  ]  (G1)\n"
       "sigma\xB2 0.0523  0.0488  [0.0301 ; 0.0795]\n"},
      {"with interaction", exampleWithInteraction(),
       "       Fst statistics:                    Factors: \n"
       "       mean    mode        95% HPDI       G1      G2      G1*G2\n"
       "Pop1   0.123   0.119   [0.0521 ; 0.201 ]  1.50    -0.250  -0.375  \n"
       "Pop2   0.0456  0.0412  [0.0123 ; 0.0897]  2.00    0.750   1.50    \n"
       "\n"
       "P(model=1)= 0.0500 (Constant)\n"
       "P(model=2)= 0.200  (Constant, G1)\n"
       "P(model=3)= 0.100  (Constant, G2)\n"
       "P(model=4)= 0.400  (Constant, G2, G1)\n"
       "P(model=5)= 0.250  (Constant, G1*G2, G2, G1)\n"
       "\n"
       "P(G1)= 0.850 \n"
       "P(G2)= 0.750 \n"
       "P(G1*G2)= 0.250 \n"
       "\n"
       "Highest probaility model: 5 (Constant, G1*G2, G2, G1)\n"
       "\n"
       "       mean    mode        95% HPDI \n"
       "a0     -2.15   -2.10   [-2.87  ; -1.42 ]  (Constant)\n"
       "a3     0.200   0.190   [0.0500 ; 0.330 ]  (G1*G2)\n"
       "a2     0.0912  0.0855  [-0.300 ; 0.510 ]  (G2)\n"
       "a1     0.734   0.701   [0.112  ; 1.35  ]  (G1)\n"
       "sigma\xB2 0.0523  0.0488  [0.0301 ; 0.0795]\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(buildResultsReport(c.inputs), c.expected) << c.name;
}

// Without populations nothing switches to left adjustment: every field is filled on the left.
TEST(ResultsReport, NoFactorsAndNoPopulationsFillFieldsOnTheLeft) {
  ReportInputs in = exampleWithoutInteraction();
  in.populationCount = 0;
  in.factorCount = 0;
  in.fstSummary = {};
  in.factorValues = {};
  in.bestModel = 1;
  in.coefficientSummary = arrays({-2.15}, {-2.10}, {-2.87}, {-1.42});
  EXPECT_EQ(buildResultsReport(in),
            "       Fst statistics:                    Factors: \n"
            "       mean    mode        95% HPDI       \n"
            "\n"
            "P(model=1)=  0.120 (Constant)\n"
            "\n"
            "\n"
            "Highest probaility model: 1 (Constant)\n"
            "\n"
            "       mean    mode        95% HPDI \n"
            "a0      -2.15   -2.10  [ -2.87 ;  -1.42]  (Constant)\n"
            "sigma\xB2 0.0523  0.0488  [0.0301 ; 0.0795]\n");
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) out.push_back(line);
  return out;
}

TEST(ResultsReport, PopulationNumbersTakeAllTheirDigits) {
  ReportInputs in = exampleWithoutInteraction();
  in.factorCount = 0;
  in.populationCount = 1000;
  in.fstSummary.reset(1000);
  in.factorValues.assign(1000, {});
  in.coefficientSummary.reset(1);
  const std::vector<std::string> text = lines(buildResultsReport(in));
  ASSERT_GT(text.size(), 1002u);
  EXPECT_EQ(text[2], "Pop1   0.00    0.00    [0.00   ; 0.00  ]  ");
  EXPECT_EQ(text[11], "Pop10  0.00    0.00    [0.00   ; 0.00  ]  ");
  EXPECT_EQ(text[1001], "Pop1000 0.00    0.00    [0.00   ; 0.00  ]  ");
  EXPECT_EQ(text[1002], "");
}

// A model without a retained row, and a data range that retains no row at all, give 0.
TEST(ResultsReport, ProbabilitiesWithoutRowsAreZero) {
  struct Case {
    int rowCount, burnIn, burnOut;
    const char* model1;
    const char* model3;
    const char* inclusionG2;
  };
  const Case cases[] = {
      {1000, 0, 0, "P(model=1)= 0.120  (Constant)", "P(model=3)= 0.00   (Constant, G2)", "P(G2)= 0.300 "},
      {1500, 200, 300, "P(model=1)= 0.120  (Constant)", "P(model=3)= 0.00   (Constant, G2)", "P(G2)= 0.300 "},
      {1000, 500, 500, "P(model=1)= 0.00   (Constant)", "P(model=3)= 0.00   (Constant, G2)", "P(G2)= 0.00  "},
      {1000, 900, 900, "P(model=1)= 0.00   (Constant)", "P(model=3)= 0.00   (Constant, G2)", "P(G2)= 0.00  "},
  };
  for (const Case& c : cases) {
    ReportInputs in = exampleWithoutInteraction();
    in.modelProbabilities[2] = 0;
    in.rowCount = c.rowCount;
    in.burnIn = c.burnIn;
    in.burnOut = c.burnOut;
    const std::vector<std::string> text = lines(buildResultsReport(in));
    ASSERT_EQ(text.size(), 19u);
    EXPECT_EQ(text[5], c.model1) << c.rowCount << " " << c.burnIn << " " << c.burnOut;
    EXPECT_EQ(text[7], c.model3);
    EXPECT_EQ(text[11], c.inclusionG2);
  }
}

TEST(ResultsReport, WritesNonFiniteValuesAsText) {
  const double inf = std::numeric_limits<double>::infinity();
  ReportInputs in = exampleWithoutInteraction();
  in.fstSummary.mean[0] = std::nan("");
  in.fstSummary.low[0] = -inf;
  in.fstSummary.high[0] = inf;
  in.factorValues[1][1] = std::numeric_limits<float>::infinity();
  in.sigmaSummary[1] = inf;
  const std::vector<std::string> text = lines(buildResultsReport(in));
  ASSERT_EQ(text.size(), 19u);
  EXPECT_EQ(text[2], "Pop1   nan     0.119   [-inf   ; inf   ]  1.50    -0.250  ");
  EXPECT_EQ(text[3], "Pop2   0.0456  0.0412  [0.0123 ; 0.0897]  2.00    inf     ");
  EXPECT_EQ(text[18], "sigma\xB2 0.0523  inf     [0.0301 ; 0.0795]");
}

// Arrays shorter than the counts are named and nothing is read beyond them.
TEST(ResultsReport, RefusesMissingSummaries) {
  struct Case {
    const char* what;
    std::function<void(ReportInputs&)> damage;
  };
  const Case cases[] = {
      {"fst summary too short", [](ReportInputs& in) { in.fstSummary.high.pop_back(); }},
      {"fst summary never allocated", [](ReportInputs& in) { in.fstSummary = {}; }},
      {"factor rows missing", [](ReportInputs& in) { in.factorValues.pop_back(); }},
      {"factor row too short", [](ReportInputs& in) { in.factorValues[1].resize(1); }},
      {"coefficients too short", [](ReportInputs& in) { in.coefficientSummary.reset(2); }},
      {"more populations than rows", [](ReportInputs& in) { in.populationCount = 3; }},
      {"negative population count", [](ReportInputs& in) { in.populationCount = -1; }},
      {"negative factor count", [](ReportInputs& in) { in.factorCount = -1; }},
      {"too many factors", [](ReportInputs& in) { in.factorCount = 12; }},
      {"interaction without three factors", [](ReportInputs& in) { in.hasInteraction = true; }},
  };
  ASSERT_FALSE(reportPrecondition(exampleWithoutInteraction()));
  for (const Case& c : cases) {
    ReportInputs in = exampleWithoutInteraction();
    c.damage(in);
    const auto missing = reportPrecondition(in);
    ASSERT_TRUE(missing) << c.what;
    EXPECT_FALSE(missing->empty()) << c.what;
    EXPECT_EQ(buildResultsReport(in), "") << c.what;
  }
}

// An analysis state holding the summaries of `example` over `rows` rows.
AnalysisState analysisHolding(const ReportInputs& example, int rows) {
  AnalysisState state;
  state.populationCount = example.populationCount;
  state.factorCount = example.factorCount;
  state.hasInteraction = example.hasInteraction;
  state.fstSummary = example.fstSummary;
  state.factorValues = example.factorValues;
  state.modelProbabilities = example.modelProbabilities;
  state.bestModel = example.bestModel;
  state.coefficientSummary = example.coefficientSummary;
  state.sigmaSummary = example.sigmaSummary;
  state.chains = {{"lake.fst", std::make_shared<const SampleTable>(1, rows)}};
  return state;
}

// The report of the window's analysis is the report of what the analysis holds, over the rows its
// burn-in and burn-out leave.
TEST(ResultsReport, ReportsTheAnalysisStateOverItsRetainedRows) {
  for (const ReportInputs& example : {exampleWithoutInteraction(), exampleWithInteraction()}) {
    SCOPED_TRACE(example.hasInteraction ? "with interaction" : "without interaction");
    const AnalysisState state = analysisHolding(example, 1500);
    EXPECT_EQ(buildResultsReport(reportInputsFrom(state, 200, 300)), buildResultsReport(example));
    // other burn rows leave other retained rows, and the model probabilities change with them
    EXPECT_NE(buildResultsReport(reportInputsFrom(state, 0, 300)), buildResultsReport(example));
  }

  // the interaction shows where the report names the third factor
  AnalysisState state = analysisHolding(exampleWithInteraction(), 1500);
  const std::string withInteraction = buildResultsReport(reportInputsFrom(state, 200, 300));
  state.hasInteraction = false;
  const std::string withoutInteraction = buildResultsReport(reportInputsFrom(state, 200, 300));
  EXPECT_NE(withInteraction.find("G1*G2"), std::string::npos) << withInteraction;
  EXPECT_EQ(withoutInteraction.find("G1*G2"), std::string::npos) << withoutInteraction;
  EXPECT_NE(withoutInteraction.find("G3"), std::string::npos) << withoutInteraction;
}

TEST(BatchReportName, ReplacesTheExtension) {
  struct Case {
    const char* data;
    const char* report;
  };
  const Case cases[] = {
      {"/data/lake.fst", "/data/lake_res.txt"},
      {"C:\\runs\\LAKE.FST", "C:\\runs\\LAKE_res.txt"},
      {".fst", "_res.txt"},
      {"abc", "abc_res.txt"},
      {"", "_res.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(batchReportName(c.data), c.report) << c.data;
}

}  // namespace
}  // namespace varno
