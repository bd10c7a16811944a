// Deterministic synthetic sampler output (.fst, factors, .frq, .ml) for tests, benchmarks and examples.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace varno {

// A regression-model trace: P Fst columns, K factors (the third being G1*G2 with the interaction).
struct FstSpec {
  long long rows = 1000;
  int populations = 6;
  int factors = 2;
  bool interaction = false;  // requires factors == 3
  std::uint64_t seed = 1;
};

// An allele-frequency trace: per locus its allele count, then that many frequencies summing to 1.
struct FrqSpec {
  long long rows = 1000;
  int loci = 3;
  int maxAlleles = 4;  // each locus has 2 .. maxAlleles alleles (1 when maxAlleles is 1)
  std::uint64_t seed = 1;
};

// A table of plain numbered columns; the first is the iteration.
struct MlSpec {
  long long rows = 1000;
  int columns = 4;
  std::uint64_t seed = 1;
};

// Why a spec cannot be generated, or nothing when it can.
std::optional<std::string> specError(const FstSpec& spec);
std::optional<std::string> specError(const FrqSpec& spec);
std::optional<std::string> specError(const MlSpec& spec);

// Values of the factors written to the factors file, [factor][population]: G1, G2, ... (only the
// two base factors with the interaction; the product is formed by the reader).
std::vector<std::vector<double>> factorFileValues(const FstSpec& spec);

// The whole text, for small sizes. Throw std::invalid_argument for a spec with a specError.
std::string fstText(const FstSpec& spec);
std::string factorsText(const FstSpec& spec, bool withPopulationLine = true);
std::string frqText(const FrqSpec& spec);
std::string mlText(const MlSpec& spec);

// Written in large blocks, for any size. Throw std::invalid_argument for a bad spec and
// std::runtime_error (naming the file and the reason) when the file cannot be written.
void writeFstFile(const FstSpec& spec, const std::string& path);
void writeFactorsFile(const FstSpec& spec, const std::string& path, bool withPopulationLine = true);
void writeFrqFile(const FrqSpec& spec, const std::string& path);
void writeMlFile(const MlSpec& spec, const std::string& path);

}  // namespace varno
