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

ChainDiagnostics chainDiagnostics(std::span<const std::vector<double>> drawsPerChain) {
  ChainDiagnostics result;
  std::vector<std::span<const double>> used;
  for (std::size_t c = 0; c < drawsPerChain.size(); ++c) {
    if (static_cast<int>(drawsPerChain[c].size()) < kMinimumChainDraws) {
      result.leftOut.push_back(static_cast<int>(c) + 1);
      continue;
    }
    used.emplace_back(drawsPerChain[c]);
  }
  result.chainsUsed = static_cast<int>(used.size());
  if (used.empty()) return result;
  std::size_t length = used.front().size();
  for (const auto& chain : used) length = std::min(length, chain.size());
  for (auto& chain : used) {
    if (chain.size() != length) result.cut = true;
    chain = chain.first(length);
  }
  result.length = static_cast<int>(length);
  result.diagnostics = used.size() == 1 ? convergenceDiagnostics(used.front())
                                        : convergenceDiagnostics(ChainDraws(used));
  return result;
}

ChainDiagnostics columnChainDiagnostics(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                        int modelFilter, DiagnosticDraws* pooled) {
  std::vector<std::vector<double>> draws;
  DiagnosticDraws first;
  for (const ChainRows& chain : chains) {
    if (!chain.table) {
      draws.emplace_back();
      continue;
    }
    DiagnosticDraws d = diagnosticDraws(*chain.table, column, layout, chain.rows, modelFilter);
    if (draws.empty()) {
      first.kind = d.kind;
      first.factor = d.factor;
    }
    draws.push_back(std::move(d.values));
  }
  ChainDiagnostics result;
  if (first.diagnosed()) result = chainDiagnostics(draws);
  if (pooled) {
    *pooled = std::move(first);
    std::size_t total = 0;
    for (const auto& d : draws) total += d.size();
    pooled->values.reserve(total);
    for (const auto& d : draws) pooled->values.insert(pooled->values.end(), d.begin(), d.end());
  }
  return result;
}

}  // namespace varno
