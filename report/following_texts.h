// What the window says while it follows growing files: the status line of the chains followed,
// and the rows a shown result describes.
#pragma once

#include <string>
#include <vector>

#include "stats/chain_rows.h"

namespace varno {

// "following 4 chains: 123,456 rows, +1,200 in the last minute"
std::string followingStatus(int chains, long long rows, long long addedInLastMinute);

// The retained rows a result was computed on, 1-based: "rows 1–120,000"; several chains retaining
// alike "rows 1,001–120,000 of each of the 4 chains", otherwise each chain's rows in turn
// ("rows 1–120,000, 1–119,800 of the 2 chains"). Empty for no chains.
std::string rowsDescribed(const std::vector<ChainRows>& chains);

}  // namespace varno
