// The texts of the Statistics box, as the window and the headless tool both show them.
#pragma once

#include <string>

#include "stats/column_statistics.h"

namespace varno {

struct StatisticsTexts {
  std::string mean, variance, min, max, mode, hpdi, width, accuracy, lambda;
};

// Mean, variance, min, max, mode, width and lambda with 6 significant digits; the HPDI bounds and
// the accuracy with 4. An accuracy over a mean of exactly 0 reads "INF".
StatisticsTexts statisticsTexts(const ColumnStatistics& statistics);

}  // namespace varno
