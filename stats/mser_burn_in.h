// The suggested burn-in of a chain by MSER-5: the number of leading rows whose removal leaves the
// batch means of 5 rows with the least squared standard error of their mean.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace varno {

// Why a column gives a suggestion or does not.
enum class MserOutcome {
  suggested,
  tooFewBatches,  // fewer than kMserMinimumBatches batches of 5 rows
  constant,       // every row holds the same value
  nonFinite,      // a row holds NaN or an infinity
  minimumAtCap,   // the least MSER lies at the largest cut tried, half the batches: the transient
                  // may last half the chain, so the rule cannot tell where it ends
};

inline constexpr int kMserBatchRows = 5;
inline constexpr std::int64_t kMserMinimumBatches = 10;

struct MserBurnIn {
  MserOutcome outcome = MserOutcome::tooFewBatches;
  std::int64_t rows = 0;        // the suggested burn-in in chain rows (0 unless suggested)
  std::int64_t cutBatches = 0;  // d*: the batches cut, also set when the minimum lies at the cap
  std::int64_t batches = 0;     // b: the batches of the draws
  bool suggested() const { return outcome == MserOutcome::suggested; }
  bool operator==(const MserBurnIn&) const = default;
};

// MSER-5 of one column of one chain, from its first row: b = floor(n / 5) batch means z_j (the
// last n - 5b rows are in no batch); for d = 0 .. floor(b / 2) the MSER of the batches after the
// first d, (S2 - S1^2 / (b - d)) / (b - d)^2 with S1, S2 the sums of z_j - mean(z) and its square,
// accumulated in double from the last batch down; the suggestion is 5 d* rows, d* the smallest d
// whose MSER is least.
MserBurnIn mserBurnIn(std::span<const double> values);
MserBurnIn mserBurnIn(std::span<const float> values);

// A coefficient column, whose draws are its values on the rows whose model holds its factor:
// `qualifyingRows` are those rows of the chain, ascending and 0-based. The suggestion is then the
// number of chain rows before the (5 d* + 1)-th qualifying row, which keeps every draw after the
// first 5 d*.
MserBurnIn mserBurnIn(std::span<const float> column, std::span<const int> qualifyingRows);

// One column's result in one chain (both 0-based), as the analysis gathers them.
struct ColumnChainBurnIn {
  int column = 0;
  int chain = 0;
  MserBurnIn burnIn;
};

// One burn-in for every chain: the largest suggestion over the columns and chains that give one,
// naming the first entry that gives it. When none gives one, `rows` is 0, `column` and `chain`
// are -1, and `withoutSuggestion` counts the entries by why they gave none (all zero when there
// were no entries: no quantity to suggest from).
struct AnalysisBurnIn {
  bool suggested = false;
  std::int64_t rows = 0;
  int column = -1;
  int chain = -1;
  std::array<int, 5> withoutSuggestion{};  // indexed by MserOutcome
  int count(MserOutcome outcome) const { return withoutSuggestion[static_cast<std::size_t>(outcome)]; }
  // A suggestion offered: taken when it is larger than the one held, so the first keeps a tie.
  void offer(std::int64_t offeredRows, int offeredColumn, int offeredChain) {
    if (suggested && offeredRows <= rows) return;
    suggested = true;
    rows = offeredRows;
    column = offeredColumn;
    chain = offeredChain;
  }
  bool operator==(const AnalysisBurnIn&) const = default;
};

AnalysisBurnIn analysisBurnIn(std::span<const ColumnChainBurnIn> results);

}  // namespace varno
