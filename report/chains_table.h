// The chains table: the chains side by side as text for other programs.
#pragma once

#include <string>
#include <vector>

#include "report/table_text.h"
#include "stats/chain_comparison.h"

namespace varno {

// "quantity", "chain1" .. "chainN", "pooled", "rhat".
std::vector<std::string> chainsTableHeader(int chainCount);

// One line (object in json) per row of the comparison, numbers as the summary table writes them
// (shortest exact text, "NA" or null where undefined).
std::string formatChainsTable(const ChainComparison& comparison, SummaryFormat format);

}  // namespace varno
