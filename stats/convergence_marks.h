// When a column's convergence diagnostics call for a longer run, and the texts that show them.
#pragma once

#include <optional>
#include <string>

#include "stats/convergence_diagnostics.h"

namespace varno {

// The recommendations of the estimators' authors: at least 100 effective draws per chain in the
// bulk and in the tails, and a split R-hat of at most 1.01.
inline constexpr double kMinimumEssPerChain = 100;
inline constexpr double kMaximumRhat = 1.01;

// Why each figure is marked, in words for a tooltip; nothing where it is fine or undefined.
struct ConvergenceMarks {
  std::optional<std::string> essBulk, essTail, rhat;
  bool any() const { return essBulk || essTail || rhat; }
};

ConvergenceMarks convergenceMarks(const ConvergenceDiagnostics& diagnostics, int chains);

// One line for the Statistics box: "ESS 1,234 bulk · 2,345 tail · R-hat 1.002", with "–" for an
// undefined figure.
std::string convergenceLine(const ConvergenceDiagnostics& diagnostics);

}  // namespace varno
