// Convergence diagnostics of one column over several chains, and which chains they use.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "stats/chain_rows.h"
#include "stats/convergence_diagnostics.h"
#include "stats/diagnostic_draws.h"

namespace varno {

// A chain needs this many draws of a column to take part in its diagnostics (two per split half).
inline constexpr int kMinimumChainDraws = 4;

struct ChainDiagnostics {
  ConvergenceDiagnostics diagnostics;  // all nothing when no chain remains
  std::vector<int> leftOut;  // 1-based chains with fewer than kMinimumChainDraws draws, in order
  bool cut = false;          // the chains used had different lengths and were cut to `length`
  int length = 0;            // draws used of each chain used
  int chainsUsed = 0;
  bool operator==(const ChainDiagnostics&) const = default;
};

// What the diagnostics of several chains left out or cut, for the page and the tool to say:
// "chain 2 left out (fewer than 4 draws); chains cut to their first 998,000 draws". Empty when
// every chain took part whole.
std::string chainUseNote(const std::vector<int>& leftOut, bool cut, int length);

// The chains of one column the diagnostics use: those with at least kMinimumChainDraws draws,
// each cut to the first `length` draws, the shortest of them; what was left out or cut.
struct EqualLengthChains {
  std::vector<std::span<const double>> chains;
  std::vector<int> leftOut;  // 1-based
  bool cut = false;
  int length = 0;
};
EqualLengthChains equalLengthChains(std::span<const std::vector<double>> drawsPerChain);

// The draws of `column` in every chain (diagnosticDraws of each; a chain without a table has
// none), with the kind and factor of chain 1.
struct ColumnChainDraws {
  ColumnKind kind = ColumnKind::quantity;
  int factor = 0;
  std::vector<std::vector<double>> perChain;
  bool diagnosed() const { return kind == ColumnKind::quantity || kind == ColumnKind::factorCoefficient; }
};
ColumnChainDraws columnChainDraws(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                  int modelFilter);

// From each chain's draws of one column (diagnosticDraws of that chain): chains with too few draws
// are left out, the others are cut to the first L draws, L the shortest of them, and diagnosed as
// the columns of one matrix of draws by chains (each split in halves). One chain gives exactly
// the single-chain figures.
ChainDiagnostics chainDiagnostics(std::span<const std::vector<double>> drawsPerChain);

// The draws of `column` in every chain (model filter and coefficient rule per chain) and their
// diagnostics; `pooled` (may be null) receives the pooled draws, chain 1's first. The kind is that
// of chain 1; columns that are not diagnosed get no figures.
ChainDiagnostics columnChainDiagnostics(std::span<const ChainRows> chains, int column, const TableLayout& layout,
                                        int modelFilter, DiagnosticDraws* pooled = nullptr);

}  // namespace varno
