// The convergence target: when a run has converged enough to stop, its text form and its status line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/summary_table.h"

namespace varno {

// ESS bounds are in total units (over all chains), as every ESS of the program is.
struct ConvergenceTarget {
  std::optional<double> essBulk;  // least bulk ESS; nothing: defaultTargetEss
  std::optional<double> essTail;  // least tail ESS; nothing: defaultTargetEss
  double rhat = 1.01;             // largest R-hat
  // The columns that count, each a 1-based number or a name as the summary rows give it; empty:
  // every quantity. Counter and Model columns never count, even when listed.
  std::vector<std::string> columns;

  bool operator==(const ConvergenceTarget&) const = default;
};

// max(400, 100 x chains).
double defaultTargetEss(int chains);

// The least ESS the target asks of a column of `chains` chains in both its bulk and its tail: the
// line an ESS plot draws.
double targetEssLine(const ConvergenceTarget& target, int chains);

struct ParsedTarget {
  std::optional<ConvergenceTarget> target;  // set on success
  std::string error;                        // "--until: ..." naming the part it could not read
};

// The text form, parts separated by commas, each at most once and in any order:
// "ess_bulk>=NUMBER", "ess_tail>=NUMBER", "rhat<=NUMBER", and last "columns=ITEM,ITEM,...": all
// the rest of the text is the column list, so a name may not hold a comma (give its number).
// Blanks around parts and items are ignored. A part left out keeps its default.
ParsedTarget parseConvergenceTarget(const std::string& text);

// The text parseConvergenceTarget reads back as `target`.
std::string convergenceTargetText(const ConvergenceTarget& target);

struct TargetMiss {
  int column = 0;  // 1-based
  std::string name;
  bool essBulk = false, essTail = false, rhat = false;  // which bounds it misses (a missing figure misses)
};

struct TargetEvaluation {
  bool met = false;
  int counted = 0;                // the columns that count
  std::vector<TargetMiss> misses;  // in column order
  // The lowest tail ESS among the counted columns and the column's name; nothing when none has one.
  std::optional<double> lowestTailEss;
  std::string lowestTailColumn;
  // How many of the counted columns would miss the R-hat bound by chance alone if all had converged.
  double chanceRhatMisses = 0;
  std::vector<std::string> unknownColumns;  // listed columns no row is (by number or name)
  double essBulkBound = 0, essTailBound = 0, rhatBound = 0;  // the bounds applied
};

// The target over computeSummaryTable's rows of an analysis of `chains` chains. A column counts
// when it is a quantity or factor coefficient (and listed, when there is a list), except one whose
// draws are all equal: it has nothing to converge. A counted column misses a bound when its figure
// is beyond it or undefined. No counted column: not met.
TargetEvaluation evaluateConvergenceTarget(const ConvergenceTarget& target, const std::vector<SummaryRow>& rows,
                                           int chains);

// "target met at row 84,000 (all 23 quantities: ESS ≥ 400, R-hat ≤ 1.01)" or "target not met: 3
// quantities, lowest tail ESS 212 (tau)", then "; 3 miss R-hat, chance alone would give about 2"
// when some miss R-hat and chance would give at least one miss. `rows` is the analysis' row count.
std::string convergenceTargetStatus(const TargetEvaluation& evaluation, long long rows);

}  // namespace varno
