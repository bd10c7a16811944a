// Points of the Fst-against-factor charts: each population's posterior mean Fst against the value
// of one factor at that population, on the logit scale or plain.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace varno {

// Title of a factor chart for chooser entry `index`: "Fst against G1*G2" for the interaction
// entry, otherwise "Fst against G" + (index + 1).
std::string factorChartTitle(int index, bool hasInteraction);

// One point (factor value, y) per population whose mean Fst is not exactly 0 (no summary), with
// y = ln(m / (1 - m)) on the logit scale, m otherwise. A mean of 1 or more, or of 0 or less, has
// no logit and gets no point there; so does a population without a value for that factor (none in
// its row, or NaN).
std::vector<std::pair<double, double>> factorPlotPoints(const std::vector<double>& fstMeans,
                                                        const std::vector<std::vector<float>>& factorValues,
                                                        int factorIndex, bool logit);

}  // namespace varno
