// The text that lists the factors of every model.
#pragma once

#include <string>

namespace varno {

// "Factors included in the models:", an empty line, then one line per model, e.g.
// "Model 4: Constant, G2, G1"; with the interaction the fifth line reads
// "Model 5: Constant, G1*G2, G2, G1". Lines end with a single line feed.
std::string modelHelpText(int factorCount, bool hasInteraction);

}  // namespace varno
