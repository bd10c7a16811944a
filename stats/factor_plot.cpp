// Points of the Fst-against-factor charts.
#include "stats/factor_plot.h"

#include <cmath>

#include "core/text_pieces.h"

namespace varno {

std::string factorChartTitle(int index, bool hasInteraction) {
  if (hasInteraction && index == 2) return "Fst against G1*G2";
  return "Fst against G" + decimal(index + 1);
}

std::vector<std::pair<double, double>> factorPlotPoints(
    const std::vector<double>& fstMeans, const std::vector<std::vector<float>>& factorValues,
    int factorIndex, bool logit) {
  std::vector<std::pair<double, double>> points;
  if (factorIndex < 0) return points;
  const std::size_t column = static_cast<std::size_t>(factorIndex);
  for (std::size_t p = 0; p < fstMeans.size() && p < factorValues.size(); ++p) {
    const double m = fstMeans[p];
    if (m == 0) continue;  // no summary for this population
    if (column >= factorValues[p].size() || std::isnan(factorValues[p][column])) continue;
    if (logit && !(m > 0 && m < 1)) continue;
    const double y = logit ? std::log(m / (1 - m)) : m;
    points.emplace_back(static_cast<double>(factorValues[p][column]), y);
  }
  return points;
}

}  // namespace varno
