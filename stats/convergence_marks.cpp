// Marking low effective sample sizes and high R-hat, and the Statistics box's line of them.
#include "stats/convergence_marks.h"

#include <charconv>
#include <cmath>

#include "stats/number_format.h"

namespace varno {

namespace {

constexpr const char* kUndefined = "\u2013";

std::string fixed(double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return result.ec == std::errc{} ? std::string(buffer, result.ptr) : std::string(kUndefined);
}

// A whole number with a comma between groups of three digits: 1234.6 -> "1,235".
std::string groupedWhole(double value) {
  const std::string digits = fixed(std::abs(value), 0);
  std::string grouped = value < 0 && digits != "0" ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::optional<std::string> lowEss(const std::optional<double>& ess, const char* name, const char* part,
                                  int chains) {
  const double minimum = kMinimumEssPerChain * chains;
  if (!ess || !(*ess < minimum)) return std::nullopt;
  return std::string(name) + " " + generalFormat(*ess, 4) + " is below " + generalFormat(minimum, 6) +
         (chains == 1 ? "" : " (100 per chain)") + ": too few independent draws for the " + part +
         "; run the chain longer";
}

}  // namespace

ConvergenceMarks convergenceMarks(const ConvergenceDiagnostics& d, int chains) {
  ConvergenceMarks marks;
  marks.essBulk = lowEss(d.essBulk, "ess_bulk", "mean and the centre of the distribution", chains);
  marks.essTail = lowEss(d.essTail, "ess_tail", "5% and 95% quantiles", chains);
  if (d.rhat && *d.rhat > kMaximumRhat)
    marks.rhat = "rhat " + generalFormat(*d.rhat, 4) + " is above 1.01: " +
                 (chains == 1 ? "the two halves of the chain disagree; it has not converged"
                              : "the chains or their halves disagree; they have not converged");
  return marks;
}

std::string convergenceLine(const ConvergenceDiagnostics& d) {
  const auto ess = [](const std::optional<double>& v) { return v ? groupedWhole(*v) : std::string(kUndefined); };
  return "ESS " + ess(d.essBulk) + " bulk \u00B7 " + ess(d.essTail) + " tail \u00B7 R-hat " +
         (d.rhat ? fixed(*d.rhat, 3) : std::string(kUndefined));
}

}  // namespace varno
