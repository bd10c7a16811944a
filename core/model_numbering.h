// Model numbering: which factors each regression model holds, and the factors' names.
#pragma once

#include <string>
#include <vector>

namespace varno {

// The most factors a model summary takes: their 2^11 models fill the model count slots.
inline constexpr int kMaxFactors = 11;
inline constexpr int kModelSlots = 1 << kMaxFactors;

// Number of models offered: 5 with the interaction, otherwise 2^factorCount.
int modelCount(int factorCount, bool hasInteraction);

// The code decoded for model m: m itself, or 8 for model 5 with the interaction.
int decodeCode(int model, bool hasInteraction);

// Factors (1-based numbers) of model m, highest first.
std::vector<int> factorsInModel(int model, int factorCount, bool hasInteraction);

// True when factor f belongs to model m.
bool FactorInModel(int model, int factor, int factorCount, bool hasInteraction);

// "G" + f, or "G1*G2" for factor 3 with the interaction.
std::string factorName(int factor, bool hasInteraction);

}  // namespace varno
