#include "stats/pooled_sample.h"

#include <algorithm>

#include "stats/column_sample.h"

namespace varno {

std::vector<double> gatherPooledSample(std::span<const ChainRows> chains, int column, int modelFilter,
                                       int modelColumn) {
  if (chains.size() == 1 && chains[0].table)
    return gatherColumnSample(*chains[0].table, column, chains[0].rows, modelFilter, modelColumn);
  std::vector<double> pooled;
  std::size_t most = 0;
  for (const ChainRows& chain : chains) most += static_cast<std::size_t>(chain.rows.count());
  pooled.reserve(most);
  for (const ChainRows& chain : chains) {
    if (!chain.table) continue;
    const std::vector<double> part = gatherColumnSample(*chain.table, column, chain.rows, modelFilter, modelColumn);
    pooled.insert(pooled.end(), part.begin(), part.end());
  }
  return pooled;
}

}  // namespace varno
