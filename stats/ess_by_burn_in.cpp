// Bulk and tail ESS over the rows left after each candidate burn-in.
#include "stats/ess_by_burn_in.h"

#include <algorithm>
#include <atomic>
#include <memory>

#include "core/parallel_for.h"
#include "stats/chain_diagnostics.h"
#include "stats/convergence_diagnostics.h"

namespace varno {

std::vector<EssAtBurnIn> essByBurnIn(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                     int modelFilter, long long burnOut, int threads, Progress& progress) {
  std::vector<std::shared_ptr<const SampleTable>> tables;
  std::int64_t shortest = -1;
  for (const ChainRows& chain : chains) {
    tables.push_back(chain.table);
    if (chain.table)
      shortest = shortest < 0 ? chain.table->rowCount() : std::min<std::int64_t>(shortest, chain.table->rowCount());
  }
  if (shortest < 0 || !tables.front() || column < 0 || column >= tables.front()->columnCount()) return {};
  std::vector<EssAtBurnIn> result(kEssBurnInCandidates);
  std::atomic<int> done{0};
  bool diagnosed = true;
  parallelFor(result.size(), threads, [&](std::size_t k) {
    progress.stopIfCancelled();
    EssAtBurnIn& at = result[k];
    at.burnIn = static_cast<std::int64_t>(k) * shortest / kEssBurnInSteps;
    const std::vector<ChainRows> rows = retainedChainRows(tables, at.burnIn, burnOut);
    const ColumnChainDraws draws = columnChainDraws(rows, column, layout, modelFilter);
    if (k == 0) diagnosed = draws.diagnosed();  // piece 0 runs on this thread, read after the join
    if (!draws.diagnosed()) return;
    const EqualLengthChains used = equalLengthChains(draws.perChain);
    if (!used.chains.empty()) {
      at.essBulk = essBulk(ChainDraws(used.chains));
      at.essTail = essTail(ChainDraws(used.chains));
    }
    progress.report(static_cast<double>(++done) / kEssBurnInCandidates);
  });
  progress.stopIfCancelled();
  if (!diagnosed) return {};
  progress.report(1);
  return result;
}

}  // namespace varno
