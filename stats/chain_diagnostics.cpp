#include "stats/chain_diagnostics.h"

#include <algorithm>

#include "core/text_pieces.h"
#include "core/read_notes.h"

namespace varno {

std::string chainUseNote(const std::vector<int>& leftOut, bool cut, int length) {
  std::string note;
  if (!leftOut.empty()) {
    note = leftOut.size() == 1 ? "chain " : "chains ";
    for (std::size_t i = 0; i < leftOut.size(); ++i) {
      if (i > 0) note += i + 1 == leftOut.size() ? " and " : ", ";
      note += decimal(leftOut[i]);
    }
    note += " left out (fewer than " + decimal(kMinimumChainDraws) + " draws)";
  }
  if (cut) {
    if (!note.empty()) note += "; ";
    note += "chains cut to their first " + groupedCount(length, "draw", "draws");
  }
  return note;
}

EqualLengthChains equalLengthChains(std::span<const std::vector<double>> drawsPerChain) {
  EqualLengthChains result;
  for (std::size_t c = 0; c < drawsPerChain.size(); ++c) {
    if (static_cast<int>(drawsPerChain[c].size()) < kMinimumChainDraws) {
      result.leftOut.push_back(static_cast<int>(c) + 1);
      continue;
    }
    result.chains.emplace_back(drawsPerChain[c]);
  }
  if (result.chains.empty()) return result;
  std::size_t length = result.chains.front().size();
  for (const auto& chain : result.chains) length = std::min(length, chain.size());
  for (auto& chain : result.chains) {
    if (chain.size() != length) result.cut = true;
    chain = chain.first(length);
  }
  result.length = static_cast<int>(length);
  return result;
}

ChainDiagnostics chainDiagnostics(std::span<const std::vector<double>> drawsPerChain) {
  ChainDiagnostics result;
  const EqualLengthChains used = equalLengthChains(drawsPerChain);
  result.leftOut = used.leftOut;
  result.chainsUsed = static_cast<int>(used.chains.size());
  if (used.chains.empty()) return result;
  result.cut = used.cut;
  result.length = used.length;
  result.diagnostics = used.chains.size() == 1 ? convergenceDiagnostics(used.chains.front())
                                               : convergenceDiagnostics(ChainDraws(used.chains));
  return result;
}

ColumnChainDraws columnChainDraws(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                  int modelFilter) {
  ColumnChainDraws result;
  for (const ChainRows& chain : chains) {
    if (!chain.table) {
      result.perChain.emplace_back();
      continue;
    }
    DiagnosticDraws d = diagnosticDraws(*chain.table, column, layout, chain.rows, modelFilter);
    if (result.perChain.empty()) {
      result.kind = d.kind;
      result.factor = d.factor;
    }
    result.perChain.push_back(std::move(d.values));
  }
  return result;
}

ChainDiagnostics columnChainDiagnostics(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                        int modelFilter, DiagnosticDraws* pooled) {
  ColumnChainDraws draws = columnChainDraws(chains, column, layout, modelFilter);
  ChainDiagnostics result;
  if (draws.diagnosed()) result = chainDiagnostics(draws.perChain);
  if (pooled) {
    pooled->kind = draws.kind;
    pooled->factor = draws.factor;
    pooled->values.clear();
    std::size_t total = 0;
    for (const auto& d : draws.perChain) total += d.size();
    pooled->values.reserve(total);
    for (const auto& d : draws.perChain) pooled->values.insert(pooled->values.end(), d.begin(), d.end());
  }
  return result;
}

}  // namespace varno
