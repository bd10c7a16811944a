// varno-gen: writes synthetic sampler output files from the command line.
#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/trace_generator.h"

namespace {

constexpr const char* kUsage =
    "usage: varno-gen fst|frq|ml [options] --out PATH\n"
    "\n"
    "Writes a deterministic synthetic sampler trace.\n"
    "\n"
    "common options:\n"
    "  --rows N            number of rows, at least 2 (default 1000)\n"
    "  --seed S            random seed, a whole number (default 1)\n"
    "  --out PATH          the file to write\n"
    "fst options:\n"
    "  --populations P     number of populations (default 6)\n"
    "  --factors K         number of factors, 0 to 3 (default 2; 3 with --interaction)\n"
    "  --interaction       the third factor is the product G1*G2\n"
    "  --factors-out PATH  also write the matching factors file\n"
    "  --no-npop           leave out the npop= line of the factors file\n"
    "frq options:\n"
    "  --loci L            number of loci (default 3)\n"
    "  --max-alleles A     alleles per locus are 2 .. A (default 4)\n"
    "ml options:\n"
    "  --columns C         number of columns, the iteration included (default 4)\n"
    "  --help              show this text\n";

struct UsageError {
  std::string message;
};

template <class T>
T parseNumber(std::string_view option, std::string_view text) {
  T value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty())
    throw UsageError{std::string(option) + " needs a whole number, not \"" + std::string(text) + "\""};
  return value;
}

int run(const std::vector<std::string_view>& args) {
  if (args.empty()) throw UsageError{"no file kind given (fst, frq or ml); try --help"};
  for (std::string_view a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  const std::string_view kind = args[0];
  if (kind != "fst" && kind != "frq" && kind != "ml")
    throw UsageError{"unknown file kind \"" + std::string(kind) + "\" (fst, frq or ml)"};

  std::optional<long long> rows;
  std::optional<std::uint64_t> seed;
  std::optional<int> populations, factors, loci, maxAlleles, columns;
  bool interaction = false, npopLine = true;
  std::string out, factorsOut;

  auto allowedFor = [&](std::string_view option, std::string_view only) {
    if (kind != only) throw UsageError{std::string(option) + " does not apply to " + std::string(kind) + " files"};
  };
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view option = args[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= args.size()) throw UsageError{std::string(option) + " needs a value"};
      return args[++i];
    };
    if (option == "--rows") {
      rows = parseNumber<long long>(option, value());
    } else if (option == "--seed") {
      seed = parseNumber<std::uint64_t>(option, value());
    } else if (option == "--out") {
      out = value();
    } else if (option == "--populations") {
      allowedFor(option, "fst");
      populations = parseNumber<int>(option, value());
    } else if (option == "--factors") {
      allowedFor(option, "fst");
      factors = parseNumber<int>(option, value());
    } else if (option == "--interaction") {
      allowedFor(option, "fst");
      interaction = true;
    } else if (option == "--factors-out") {
      allowedFor(option, "fst");
      factorsOut = value();
    } else if (option == "--no-npop") {
      allowedFor(option, "fst");
      npopLine = false;
    } else if (option == "--loci") {
      allowedFor(option, "frq");
      loci = parseNumber<int>(option, value());
    } else if (option == "--max-alleles") {
      allowedFor(option, "frq");
      maxAlleles = parseNumber<int>(option, value());
    } else if (option == "--columns") {
      allowedFor(option, "ml");
      columns = parseNumber<int>(option, value());
    } else {
      throw UsageError{"unknown option \"" + std::string(option) + "\"; try --help"};
    }
  }
  if (out.empty()) throw UsageError{"--out PATH is required"};

  if (kind == "fst") {
    varno::FstSpec spec;
    spec.rows = rows.value_or(spec.rows);
    spec.seed = seed.value_or(spec.seed);
    spec.populations = populations.value_or(spec.populations);
    spec.interaction = interaction;
    spec.factors = factors.value_or(interaction ? 3 : spec.factors);
    if (auto e = varno::specError(spec)) throw UsageError{*e};
    varno::writeFstFile(spec, out);
    if (!factorsOut.empty()) varno::writeFactorsFile(spec, factorsOut, npopLine);
  } else if (kind == "frq") {
    varno::FrqSpec spec;
    spec.rows = rows.value_or(spec.rows);
    spec.seed = seed.value_or(spec.seed);
    spec.loci = loci.value_or(spec.loci);
    spec.maxAlleles = maxAlleles.value_or(spec.maxAlleles);
    if (auto e = varno::specError(spec)) throw UsageError{*e};
    varno::writeFrqFile(spec, out);
  } else {
    varno::MlSpec spec;
    spec.rows = rows.value_or(spec.rows);
    spec.seed = seed.value_or(spec.seed);
    spec.columns = columns.value_or(spec.columns);
    if (auto e = varno::specError(spec)) throw UsageError{*e};
    varno::writeMlFile(spec, out);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    return run(args);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "varno-gen: %s\n", e.message.c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "varno-gen: %s\n", e.what());
    return 1;
  }
}
