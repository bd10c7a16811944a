// `--burn-in N%`: a burn-in of a share of each chain's rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stats/chain_rows.h"

namespace varno {

struct RunError;

// N% as given: N = scaled / 10^decimals exactly, so that the rows it gives are rounded down
// without a rounding error of binary fractions (33.3% of 1,000 rows is 333 rows).
struct BurnInShare {
  std::string text;  // as given: "10%"
  long long scaled = 0;
  int decimals = 0;

  bool operator==(const BurnInShare&) const = default;
};

// "N%" with N a decimal number from 0 to below 100 (at most 6 decimals); nothing otherwise.
std::optional<BurnInShare> parseBurnInShare(std::string_view text);

// The share of `rowCount` rows, rounded down.
long long burnInShareRows(const BurnInShare& share, long long rowCount);

// The share applied to each chain with `burnOut`: their retained rows replaced and checked as
// given ones are (`chainFiles` name the chains in the messages).
std::optional<RunError> takeBurnInShare(const BurnInShare& share, const std::string& dataPath, long long burnOut,
                                        const std::vector<std::string>& chainFiles, std::vector<ChainRows>& chains);

}  // namespace varno
