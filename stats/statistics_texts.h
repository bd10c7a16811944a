// The texts of the Statistics box, as the window and the headless tool both show them.
#pragma once

#include <optional>
#include <string>

#include "stats/column_statistics.h"

namespace varno {

struct StatisticsTexts {
  std::string mean, variance, min, max, mode, hpdi, width, accuracy, lambda;
};

// Mean, variance, min, max, mode, width and lambda with 6 significant digits; the HPDI bounds and
// the accuracy with 4. An accuracy over a mean of exactly 0 reads "INF".
StatisticsTexts statisticsTexts(const ColumnStatistics& statistics);

// The Monte Carlo standard errors shown under the Statistics box: the mean's (mcse_mean of the
// diagnostics) and the HPDI limits' as quantiles (QuantileErrors::limitMcse over the draws the
// diagnostics use, a lower bound). Each is nothing where it is undefined.
struct McseFigures {
  std::optional<double> mean, hpdiLow, hpdiHigh;
  bool operator==(const McseFigures&) const = default;
};

// Their line, each with 3 significant digits: "MCSE: mean ± 0.012, HPDI limits ≥ ± 0.041 and
// ± 0.057". An undefined error is written "NA" in its place ("mean NA", "≥ ± 0.041 and NA");
// both limits undefined read "HPDI limits NA".
std::string mcseLine(const McseFigures& mcse);

}  // namespace varno
