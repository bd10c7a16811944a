// What a summary shown in the window was computed from. A result is shown only while these are
// the window's current inputs; anything else would be the numbers of another file or range.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/sample_table.h"
#include "stats/chain_rows.h"
#include "stats/row_range.h"

namespace varno {

struct SummaryInputs {
  int modelFilter = 0;
  int populationCount = 0;
  int factorCount = 0;
  bool hasInteraction = false;
  std::string factorFileName;
  std::vector<ChainRows> chains;  // every chain with its retained rows, chain 1 first

  bool operator==(const SummaryInputs&) const = default;
};

// What the Chains view was computed from: the summary's inputs, every chain with its retained rows.
struct ChainsInputs {
  SummaryInputs summary;

  bool operator==(const ChainsInputs&) const = default;
};

}  // namespace varno
