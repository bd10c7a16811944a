// The prior probabilities of the regression models: uniform, or weights the user gives.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace varno {

// One weight per model, normalised to sum to 1; empty weights give every model the same prior.
std::vector<double> modelPriorProbabilities(const std::vector<double>& weights, int models);

// Weights written "w1,w2,..." (blanks around a weight are allowed): the weights, or one line
// saying what is wrong. Refused: a count other than `models`, a weight that is not a number or
// not finite, a negative weight, all weights 0.
std::variant<std::vector<double>, std::string> parseModelPrior(std::string_view text, int models);

// A prior that rules a model out cannot be combined with draws of it: the models given weight 0
// that the retained rows visit (counts: rows of model m at m - 1), said with their counts;
// nothing when every visited model has a positive weight or no weights are given.
std::optional<std::string> zeroPriorOfVisitedModels(const std::vector<double>& weights,
                                                    const std::vector<double>& counts);

// The weights written back as the text parseModelPrior reads ("1,1,2").
std::string modelPriorText(const std::vector<double>& weights);

}  // namespace varno
