// The words for the strength of a Bayes factor, graded on Jeffreys' scale.
#pragma once

#include <optional>
#include <string>

namespace varno {

// The grade of |log10 BF|: up to 1/2 "barely worth mentioning", up to 1 "substantial", up to 1.5
// "strong", up to 2 "very strong", beyond "decisive" (a boundary belongs to the lower grade),
// followed by "for" or "against" (none at exactly 0).
std::string evidenceGrade(double log10Bf);

// The label of an estimate whose log10 BF lies in [low, high]; an end that is nothing is
// unbounded and counts as decisive in its direction. When both ends fall in one grade and one
// direction the label is that grade; otherwise it names both ends, the weaker first within one
// direction ("very strong to decisive for"), the lower end first across directions
// ("substantial against to strong for").
std::string evidenceLabel(std::optional<double> low, std::optional<double> high);

}  // namespace varno
