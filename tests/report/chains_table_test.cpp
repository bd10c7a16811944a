// The chains table's texts: header, undefined figures and exact numbers in each format.
#include "report/chains_table.h"

#include <gtest/gtest.h>

namespace varno {
namespace {

ChainComparison twoRows() {
  ChainComparison c;
  c.chainCount = 2;
  ChainComparisonRow model;
  model.name = "P(model=2)";
  model.chains = {0.1, std::nullopt};
  model.pooled = 0.1;
  model.rhat = 1.2345678901234567;
  ChainComparisonRow fst;
  fst.quantity = ChainQuantity::fstHpdiLow;
  fst.name = "Fst pop 3 HPDI low";
  fst.chains = {0.25, 1e-300};
  fst.pooled = -3.5;
  c.rows = {model, fst};
  return c;
}

TEST(ChainsTableText, EveryFormat) {
  struct Case {
    SummaryFormat format;
    const char* text;
  };
  const Case cases[] = {
      {SummaryFormat::tsv,
       "quantity\tchain1\tchain2\tpooled\trhat\n"
       "P(model=2)\t0.1\tNA\t0.1\t1.2345678901234567\n"
       "Fst pop 3 HPDI low\t0.25\t1e-300\t-3.5\tNA\n"},
      {SummaryFormat::csv,
       "quantity,chain1,chain2,pooled,rhat\r\n"
       "P(model=2),0.1,NA,0.1,1.2345678901234567\r\n"
       "Fst pop 3 HPDI low,0.25,1e-300,-3.5,NA\r\n"},
      {SummaryFormat::json,
       "[\n"
       "  {\"quantity\": \"P(model=2)\", \"chain1\": 0.1, \"chain2\": null, \"pooled\": 0.1, \"rhat\": 1.2345678901234567},\n"
       "  {\"quantity\": \"Fst pop 3 HPDI low\", \"chain1\": 0.25, \"chain2\": 1e-300, \"pooled\": -3.5, \"rhat\": null}\n"
       "]\n"},
  };
  for (const Case& k : cases) EXPECT_EQ(formatChainsTable(twoRows(), k.format), k.text);
}

TEST(ChainsTableText, HeaderNamesEveryChain) {
  EXPECT_EQ(chainsTableHeader(3), (std::vector<std::string>{"quantity", "chain1", "chain2", "chain3", "pooled", "rhat"}));
  ChainComparison none;
  none.chainCount = 1;
  EXPECT_EQ(formatChainsTable(none, SummaryFormat::json), "[]\n");
}

}  // namespace
}  // namespace varno
