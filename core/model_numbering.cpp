// Model numbering: decodes a model number into the factors it holds.
#include "core/model_numbering.h"

#include <limits>

#include "core/text_pieces.h"

namespace varno {

namespace {
// Factor counts above this have no meaning for a model number held in an int: its models would
// not be numbered by one.
constexpr int kIntFactorBits = std::numeric_limits<int>::digits - 1;
}  // namespace

int modelCount(int factorCount, bool hasInteraction) {
  if (hasInteraction) return 5;
  if (factorCount <= 0) return 1;
  if (factorCount > kIntFactorBits) factorCount = kIntFactorBits;
  return 1 << factorCount;
}

int decodeCode(int model, bool hasInteraction) {
  return hasInteraction && model == 5 ? 8 : model;
}

std::vector<int> factorsInModel(int model, int factorCount, bool hasInteraction) {
  std::vector<int> factors;
  if (factorCount > kIntFactorBits) factorCount = kIntFactorBits;
  int code = decodeCode(model, hasInteraction);
  // Highest factor first: a factor is in when its weight is still below what is left.
  for (int f = factorCount; f >= 1; --f) {
    const int weight = 1 << (f - 1);
    if (weight < code) {
      factors.push_back(f);
      code -= weight;
    }
  }
  return factors;
}

bool FactorInModel(int model, int factor, int factorCount, bool hasInteraction) {
  if (factor < 1 || factor > factorCount) return false;
  for (int f : factorsInModel(model, factorCount, hasInteraction)) {
    if (f == factor) return true;
  }
  return false;
}

std::string factorName(int factor, bool hasInteraction) {
  if (hasInteraction && factor == 3) return "G1*G2";
  return "G" + decimal(factor);
}

}  // namespace varno
