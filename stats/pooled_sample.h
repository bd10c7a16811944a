// The pooled draws of a column over several chains.
#pragma once

#include <span>
#include <vector>

#include "stats/chain_rows.h"

namespace varno {

// The values of `column` over each chain's retained rows, chain 1's first, then chain 2's, and so
// on, each chain filtered by the model as gatherColumnSample does. Gathered in one pass into one
// buffer: the tables themselves are never copied.
std::vector<double> gatherPooledSample(std::span<const ChainRows> chains, int column, int modelFilter,
                                       int modelColumn);

}  // namespace varno
