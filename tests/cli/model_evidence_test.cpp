// varno-report --models on the bundled example: the two tables, their agreement with the results
// report, the formats, and the prior weights it refuses.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "report/model_evidence_table.h"
#include "stats/evidence_label.h"
#include "temp_folder.h"
#include "tool_run.h"
#include "text_cells.h"

namespace varno {
namespace {

using testing::runTool;
using testing::TempFolder;
using testing::ToolRun;
using testing::cellsOf;

const std::string kData = VARNO_SOURCE_DIR "/examples/lake.fst";
const std::string kFactors = VARNO_SOURCE_DIR "/examples/lake_factors.txt";

std::optional<double> num(const std::string& text) {
  if (text == "NA") return std::nullopt;
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
  return v;
}

// The report's "P(name)= 0.123" lines.
double reported(const std::string& report, const std::string& name) {
  const std::string key = "P(" + name + ")= ";
  const std::size_t at = report.find(key);
  EXPECT_NE(at, std::string::npos) << name;
  return std::stod(report.substr(at + key.size(), 8));
}

TEST(ModelsTables, OnTheBundledExampleAgreeWithTheReportAndWithThemselves) {
  TempFolder folder;
  const ToolRun run = runTool(folder, {kData, kFactors, "--interaction=no", "--burn-in", "500", "--models"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::size_t gap = run.out.find("\n\n");
  ASSERT_NE(gap, std::string::npos) << run.out;
  const auto models = cellsOf(run.out.substr(0, gap + 1));
  const auto factors = cellsOf(run.out.substr(gap + 2));
  ASSERT_EQ(models.size(), 5u) << run.out;  // header and the four models of two factors
  ASSERT_EQ(factors.size(), 3u) << run.out;
  EXPECT_EQ(models[0], modelTableHeader());
  EXPECT_EQ(factors[0], factorTableHeader());
  const char* modelFactors[] = {"Constant", "G1", "G2", "G2+G1"};
  const char* factorNames[] = {"G1", "G2"};

  const ToolRun report = runTool(folder, {kData, kFactors, "--interaction=no", "--burn-in", "500", "--output", "-"});
  ASSERT_EQ(report.status, 0) << report.err;
  long long counted = 0;
  std::vector<double> probability;
  for (int m = 1; m <= 4; ++m) {
    const auto& row = models[static_cast<std::size_t>(m)];
    ASSERT_EQ(row.size(), 6u);
    EXPECT_EQ(row[0], std::to_string(m));
    EXPECT_EQ(row[1], modelFactors[m - 1]);
    EXPECT_EQ(*num(row[2]), 0.25);
    counted += std::stoll(row[3]);
    probability.push_back(*num(row[4]));
    EXPECT_DOUBLE_EQ(probability.back(), std::stod(row[3]) / 2500);
    EXPECT_NEAR(probability.back(), reported(report.out, "model=" + std::to_string(m)), 0.0005);
  }
  EXPECT_EQ(counted, 2500);  // every retained row is in a model

  const std::vector<std::vector<int>> holders = {{2, 4}, {3, 4}};
  const std::vector<double> priors = {0.5, 0.5};
  for (std::size_t f = 0; f < 2; ++f) {
    const auto& row = factors[f + 1];
    ASSERT_EQ(row.size(), 10u);
    EXPECT_EQ(row[0], factorNames[f]);
    EXPECT_NEAR(*num(row[1]), priors[f], 1e-15);
    double post = 0;
    for (int m : holders[f]) post += probability[static_cast<std::size_t>(m - 1)];
    EXPECT_NEAR(*num(row[2]), post, 1e-12);
    EXPECT_NEAR(post, reported(report.out, factorNames[f]), 0.0005);
    if (post > 0 && post < 1) {
      const double bf = (post / (1 - post)) / (priors[f] / (1 - priors[f]));
      EXPECT_NEAR(*num(row[4]), bf, 1e-9 * bf);
      EXPECT_NEAR(*num(row[5]), std::log10(bf), 1e-9);
      EXPECT_EQ(row[8], evidenceLabel(num(row[6]), num(row[7])));
      EXPECT_EQ(row[9], row[4]);  // without the interaction the matched models are all of them
      // the interval is taken at the posterior -/+ 2 MCSE
      const double mcse = *num(row[3]);
      if (post + 2 * mcse < 1) {
        const double high = post + 2 * mcse;
        EXPECT_NEAR(*num(row[7]), std::log10(high / (1 - high)) - std::log10(priors[f] / (1 - priors[f])), 1e-9);
      }
    } else {
      EXPECT_EQ(row[4], "NA");
      EXPECT_EQ(row[8].rfind("not estimable: ", 0), 0u) << row[8];
    }
  }
}

TEST(ModelsTables, EachFormatIsTheSharedTextAndAUserPriorIsApplied) {
  TempFolder folder;
  ModelEvidenceOptions options;
  options.dataPath = kData;
  options.factorsPath = kFactors;
  options.interaction = false;
  options.modelPrior = "1,1,2,4";
  for (const auto& [name, format] : {std::pair{"tsv", SummaryFormat::tsv}, std::pair{"csv", SummaryFormat::csv},
                                     std::pair{"json", SummaryFormat::json}}) {
    options.format = format;
    const ModelEvidenceResult expected = runModelEvidence(options);
    ASSERT_TRUE(expected.text) << (expected.error ? expected.error->message : "");
    const ToolRun run =
        runTool(folder, {kData, kFactors, "--interaction", "no", "--models", "--model-prior", "1,1,2,4", "--format", name});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, *expected.text) << name;
  }
  const ModelEvidenceResult json = runModelEvidence(options);
  EXPECT_EQ(json.text->rfind("{\n  \"models\": [\n    {\"model\": 1, \"factors\": \"Constant\", \"prior\": 0.125, \"count\": ", 0),
            0u)
      << *json.text;
  EXPECT_NE(json.text->find("\n  ],\n  \"factors\": [\n    {\"factor\": \"G1\", \"prior\": 0.625, "), std::string::npos)
      << *json.text;
  options.format = SummaryFormat::csv;
  const std::string csv = *runModelEvidence(options).text;
  EXPECT_EQ(csv.rfind("model,factors,prior,count,probability,mcse\r\n1,Constant,0.125,", 0), 0u) << csv;
  EXPECT_NE(csv.find("\r\n\r\nfactor,prior,posterior,mcse,bf,log10_bf,log10_bf_low,log10_bf_high,evidence,bf_matched\r\n"
                     "G1,0.625,"),
            std::string::npos)
      << csv;
}

TEST(ModelsTables, RefusesWhatItCannotUseWithOneLine) {
  TempFolder folder;
  const std::string other = folder.write("trace.ml", "1 2\n3 4\n5 6\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{kData, kFactors, "--interaction=no", "--models", "--model-prior", "1,1,1"},
       "--model-prior: the model prior has 3 weights but the analysis has 4 models: give one weight per model, in "
       "model order, separated by commas"},
      {{kData, kFactors, "--interaction=no", "--models", "--model-prior", "1,-2,1,1"},
       "--model-prior: weight 2 of the model prior (\"-2\") is negative: weights must be 0 or more"},
      {{kData, kFactors, "--interaction=no", "--models", "--model-prior", "1,x,1,1"},
       "--model-prior: weight 2 of the model prior (\"x\") is not a number"},
      {{kData, kFactors, "--interaction=no", "--models", "--model-prior=0,0,0,0"},
       "--model-prior: the model prior's weights are all 0: give at least one model a positive weight"},
      {{kData, kFactors, "--interaction=no", "--models", "--model-prior=1,0,0,1"},
       "--model-prior: the model prior gives weight 0 to models 2 and 3, which the retained rows visit 933 and 376 "
       "times: a prior that rules a model out cannot be combined with draws of it; give them a positive weight"},
      {{kData, kFactors, "--interaction=no", "--models", "--model-prior=1,1,0,1", "--burn-in", "2900"},
       "--model-prior: the model prior gives weight 0 to model 3, which the retained rows visit 19 times: a prior "
       "that rules a model out cannot be combined with draws of it; give it a positive weight"},
      {{kData, "--models"}, "no factors file given (--models needs DATA.fst FACTORS.txt)"},
      {{other, kFactors, "--models"}, "--models needs an .fst data file"},
      {{kData, kFactors, "--models", "--summary"}, "--summary and --models cannot be given together"},
      {{kData, kFactors, "--models", "--level", "90"}, "--level cannot be given with --models"},
      {{kData, kFactors, "--interaction=no", "--model-prior", "1,1,1,1"}, "--model-prior can be given only with --models"},
  };
  for (const auto& [args, message] : cases) {
    const ToolRun run = runTool(folder, args);
    EXPECT_EQ(run.status, 2) << message;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

}  // namespace
}  // namespace varno
