// The prior probabilities of the regression models: uniform, or weights the user gives.
#pragma once

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

// The weights written back as the text parseModelPrior reads ("1,1,2").
std::string modelPriorText(const std::vector<double>& weights);

}  // namespace varno
