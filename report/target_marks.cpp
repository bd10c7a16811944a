// The reasons a row misses the convergence target, one per figure.
#include "report/target_marks.h"

#include "stats/number_format.h"

namespace varno {

namespace {

std::string undefinedFigure(const char* name, const std::string& bound) {
  return std::string(name) + " cannot be computed from these draws: the column misses the target (" + bound + ")";
}

std::string lowEss(const std::optional<double>& ess, const char* name, const char* part, double bound) {
  const std::string least = generalFormat(bound, 6);
  if (!ess) return undefinedFigure(name, "at least " + least);
  return std::string(name) + " " + generalFormat(*ess, 4) + " is below " + least + " (the target): too few " +
         "independent draws for the " + part + "; run the chain longer";
}

}  // namespace

ConvergenceMarks targetMarks(const TargetMiss& miss, const ConvergenceDiagnostics& d, const TargetEvaluation& evaluation,
                             int chains) {
  ConvergenceMarks marks;
  if (miss.essBulk)
    marks.essBulk = lowEss(d.essBulk, "ess_bulk", "mean and the centre of the distribution", evaluation.essBulkBound);
  if (miss.essTail) marks.essTail = lowEss(d.essTail, "ess_tail", "5% and 95% quantiles", evaluation.essTailBound);
  if (miss.rhat) {
    const std::string largest = generalFormat(evaluation.rhatBound, 6);
    marks.rhat = !d.rhat ? undefinedFigure("rhat", "at most " + largest)
                         : "rhat " + generalFormat(*d.rhat, 4) + " is above " + largest + " (the target): " +
                               (chains == 1 ? "the two halves of the chain disagree; it has not converged"
                                            : "the chains or their halves disagree; they have not converged");
  }
  return marks;
}

}  // namespace varno
