#include "stats/chain_rows.h"

#include "stats/data_range.h"

namespace varno {

std::vector<ChainRows> retainedChainRows(std::span<const std::shared_ptr<const SampleTable>> tables,
                                         long long burnIn, long long burnOut) {
  std::vector<ChainRows> chains;
  chains.reserve(tables.size());
  for (const auto& table : tables)
    chains.push_back({table, table ? retainedRows(burnIn, burnOut, table->rowCount()) : RowRange{}});
  return chains;
}

}  // namespace varno
