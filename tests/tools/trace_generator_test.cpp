// The synthetic trace generator: well-formed, plausible and reproducible files.
#include "tools/trace_generator.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/factors_file.h"
#include "core/model_numbering.h"

namespace varno {
namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    EXPECT_NE(end, std::string_view::npos) << "last line without line feed";
    if (end == std::string_view::npos) break;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The numbers of one line, which must be single-blank separated and all numeric.
std::vector<double> numbers(std::string_view line) {
  std::vector<double> values;
  const char* p = line.data();
  const char* end = p + line.size();
  while (p < end) {
    double v = 0;
    const auto r = std::from_chars(p, end, v);
    EXPECT_EQ(r.ec, std::errc()) << "not a number in: " << line;
    if (r.ec != std::errc()) break;
    values.push_back(v);
    p = r.ptr;
    if (p < end) {
      EXPECT_EQ(*p, ' ') << line;
      ++p;
    }
  }
  return values;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TraceGeneratorFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("varno_gen_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST(TraceGenerator, FstRowsAreWellFormedAndPlausible) {
  const FstSpec cases[] = {
      {2, 3, 2, false, 1},     {500, 6, 0, false, 2}, {500, 4, 1, false, 3}, {500, 6, 2, false, 4},
      {500, 5, 3, false, 5},   {500, 5, 3, true, 6},  {300, 0, 2, false, 7}, {300, 1, 3, true, 8},
      {90000, 6, 2, false, 9},  // past one output block
  };
  for (const FstSpec& spec : cases) {
    SCOPED_TRACE("rows " + std::to_string(spec.rows) + " P " + std::to_string(spec.populations) + " K " +
                 std::to_string(spec.factors) + (spec.interaction ? " interaction" : ""));
    const std::string text = fstText(spec);
    const auto lines = splitLines(text);
    ASSERT_EQ(static_cast<long long>(lines.size()), spec.rows);
    const int P = spec.populations, K = spec.factors;
    const int models = modelCount(K, spec.interaction);
    std::set<int> visited;
    double previousIteration = -1;
    for (std::string_view line : lines) {
      const auto v = numbers(line);
      ASSERT_EQ(static_cast<int>(v.size()), P + K + 5) << line;
      EXPECT_GT(v[0], previousIteration) << line;
      previousIteration = v[0];
      EXPECT_GT(v[1], 0) << line;
      EXPECT_LT(v[2], 0) << line;
      for (int p = 0; p < P; ++p) {
        EXPECT_GT(v[3 + p], 0) << line;
        EXPECT_LT(v[3 + p], 1) << line;
      }
      const double model = v[P + 3];
      ASSERT_EQ(model, static_cast<int>(model)) << line;
      ASSERT_GE(model, 1) << line;
      ASSERT_LE(model, models) << line;
      visited.insert(static_cast<int>(model));
      EXPECT_NE(v[P + 4], 0) << "the constant is in every model: " << line;
      for (int f = 1; f <= K; ++f) {
        const bool in = FactorInModel(static_cast<int>(model), f, K, spec.interaction);
        EXPECT_EQ(v[P + 4 + f] != 0, in) << "alpha" << f << " in: " << line;
      }
    }
    if (models > 1 && spec.rows >= 300) {
      EXPECT_GT(visited.size(), 1u) << "the model chain never moved";
    }
  }
}

TEST(TraceGenerator, TooFewRowsOrBadLayoutIsRefused) {
  const FstSpec bad[] = {{1, 3, 2, false, 1}, {0, 3, 2, false, 1}, {10, -1, 2, false, 1},
                         {10, 3, 4, false, 1}, {10, 3, 2, true, 1}, {10, 3, -1, false, 1}};
  for (const FstSpec& spec : bad) {
    EXPECT_TRUE(specError(spec).has_value());
    EXPECT_THROW(fstText(spec), std::invalid_argument);
  }
  EXPECT_THROW(frqText({1, 3, 4, 1}), std::invalid_argument);
  EXPECT_THROW(frqText({10, 0, 4, 1}), std::invalid_argument);
  EXPECT_THROW(mlText({10, 0, 1}), std::invalid_argument);
  EXPECT_THROW(mlText({1, 4, 1}), std::invalid_argument);
}

TEST(TraceGenerator, SameSeedSameBytesOtherSeedOtherBytes) {
  const FstSpec fst{400, 5, 3, true, 42};
  EXPECT_EQ(fstText(fst), fstText(fst));
  EXPECT_EQ(factorsText(fst), factorsText(fst));
  FstSpec other = fst;
  other.seed = 43;
  EXPECT_NE(fstText(fst), fstText(other));
  EXPECT_NE(factorsText(fst), factorsText(other));
  EXPECT_EQ(frqText({300, 4, 5, 9}), frqText({300, 4, 5, 9}));
  EXPECT_NE(frqText({300, 4, 5, 9}), frqText({300, 4, 5, 10}));
  EXPECT_EQ(mlText({300, 4, 9}), mlText({300, 4, 9}));
  EXPECT_NE(mlText({300, 4, 9}), mlText({300, 4, 10}));
}

TEST(TraceGenerator, FactorsFileHasOneValuePerPopulation) {
  struct Case {
    FstSpec spec;
    bool populationLine;
    int factorLines;
  };
  const Case cases[] = {
      {{10, 3, 2, false, 1}, true, 2},  {{10, 6, 3, false, 2}, false, 3}, {{10, 4, 3, true, 3}, true, 2},
      {{10, 5, 1, false, 4}, true, 1},  {{10, 5, 0, false, 5}, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("P " + std::to_string(c.spec.populations) + " K " + std::to_string(c.spec.factors));
    const std::string text = factorsText(c.spec, c.populationLine);
    const auto lines = splitLines(text);
    ASSERT_EQ(static_cast<int>(lines.size()), c.factorLines + (c.populationLine ? 1 : 0));
    std::size_t first = 0;
    if (c.populationLine) {
      EXPECT_EQ(lines[0], "npop=" + std::to_string(c.spec.populations));
      first = 1;
    }
    const auto values = factorFileValues(c.spec);
    for (int f = 0; f < c.factorLines; ++f) {
      const std::string_view line = lines[first + f];
      const std::string head = "g[" + std::to_string(f + 1) + "]=";
      ASSERT_EQ(line.substr(0, head.size()), head);
      const auto v = numbers(line.substr(head.size()));
      ASSERT_EQ(static_cast<int>(v.size()), c.spec.populations) << line;
      EXPECT_EQ(v, values[f]) << "the file must hold the values the trace was made from";
    }
  }
}

TEST(TraceGenerator, FactorsFileReadsBackAsWritten) {
  for (const FstSpec& spec : {FstSpec{10, 6, 2, false, 1}, FstSpec{10, 4, 3, true, 2}, FstSpec{10, 3, 3, false, 3}}) {
    const std::string text = factorsText(spec);
    const auto values = factorFileValues(spec);
    const auto read = readFactorLineValues(text, spec.populations);
    ASSERT_EQ(read.size(), values.size());
    for (std::size_t f = 0; f < values.size(); ++f) {
      ASSERT_EQ(read[f].size(), values[f].size());
      for (std::size_t p = 0; p < values[f].size(); ++p) EXPECT_EQ(read[f][p], static_cast<float>(values[f][p]));
    }
  }
}

TEST(TraceGenerator, FrqFrequenciesFollowTheFirstRowsAlleleCounts) {
  const FrqSpec cases[] = {{2, 1, 2, 1}, {400, 3, 4, 2}, {200, 7, 9, 3}, {50, 2, 1, 4}};
  for (const FrqSpec& spec : cases) {
    SCOPED_TRACE("loci " + std::to_string(spec.loci) + " max alleles " + std::to_string(spec.maxAlleles));
    const std::string text = frqText(spec);
    const auto lines = splitLines(text);
    ASSERT_EQ(static_cast<long long>(lines.size()), spec.rows);
    std::vector<double> counts;
    for (std::string_view line : lines) {
      const auto v = numbers(line);
      std::size_t c = 1;
      std::vector<double> lineCounts;
      while (c < v.size()) {
        const double a = v[c];
        ASSERT_EQ(a, static_cast<int>(a)) << line;
        ASSERT_GE(a, spec.maxAlleles > 1 ? 2 : 1) << line;
        ASSERT_LE(a, spec.maxAlleles) << line;
        ASSERT_LE(c + static_cast<std::size_t>(a), v.size() - 1) << line;
        double sum = 0;
        for (int j = 1; j <= a; ++j) {
          EXPECT_GT(v[c + j], 0) << line;
          EXPECT_LE(v[c + j], 1) << line;
          sum += v[c + j];
        }
        EXPECT_NEAR(sum, 1.0, 1e-9) << line;
        lineCounts.push_back(a);
        c += static_cast<std::size_t>(a) + 1;
      }
      ASSERT_EQ(static_cast<int>(lineCounts.size()), spec.loci) << line;
      if (counts.empty()) counts = lineCounts;
      EXPECT_EQ(lineCounts, counts) << "allele counts change between rows";
    }
  }
}

TEST(TraceGenerator, MlRowsHaveTheColumnsAsked) {
  for (const MlSpec& spec : {MlSpec{2, 1, 1}, MlSpec{300, 4, 2}, MlSpec{100, 12, 3}}) {
    const std::string text = mlText(spec);
    const auto lines = splitLines(text);
    ASSERT_EQ(static_cast<long long>(lines.size()), spec.rows);
    for (std::string_view line : lines) ASSERT_EQ(static_cast<int>(numbers(line).size()), spec.columns) << line;
  }
}

TEST_F(TraceGeneratorFiles, FilesHoldTheSameBytesAsTheTexts) {
  const FstSpec fst{700, 4, 2, false, 11};
  writeFstFile(fst, (dir_ / "a.fst").string());
  writeFactorsFile(fst, (dir_ / "a.txt").string(), false);
  writeFrqFile({300, 3, 4, 12}, (dir_ / "a.frq").string());
  writeMlFile({300, 4, 13}, (dir_ / "a.ml").string());
  EXPECT_EQ(readFile(dir_ / "a.fst"), fstText(fst));
  EXPECT_EQ(readFile(dir_ / "a.txt"), factorsText(fst, false));
  EXPECT_EQ(readFile(dir_ / "a.frq"), frqText({300, 3, 4, 12}));
  EXPECT_EQ(readFile(dir_ / "a.ml"), mlText({300, 4, 13}));
}

TEST_F(TraceGeneratorFiles, UnwritableFileIsReportedWithItsName) {
  const std::string path = (dir_ / "missing" / "a.fst").string();
  try {
    writeFstFile({10, 3, 2, false, 1}, path);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

// The command line: bad arguments end with status 2 and one line on stderr.
TEST_F(TraceGeneratorFiles, CommandLine) {
  const std::filesystem::path program = std::filesystem::path(VARNO_BINARY_DIR) / "varno-gen";
  if (!std::filesystem::exists(program)) GTEST_SKIP() << "varno-gen not built";
  auto run = [&](const std::string& args) {
    const std::string command =
        "\"" + program.string() + "\" " + args + " 2>\"" + (dir_ / "err").string() + "\" >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  const std::string out = (dir_ / "x.fst").string();
  struct Case {
    std::string args;
    int status;
  };
  const Case cases[] = {
      {"", 2},
      {"xyz --out " + out, 2},
      {"fst --rows 1 --out " + out, 2},
      {"fst --rows ten --out " + out, 2},
      {"fst --rows", 2},
      {"fst --rows 10", 2},
      {"fst --loci 3 --out " + out, 2},
      {"fst --factors 2 --interaction --out " + out, 2},
      {"ml --bogus --out " + out, 2},
      {"fst --help", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run(c.args), c.status) << c.args;
    if (c.status == 2) {
      const std::string err = readFile(dir_ / "err");
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.args << ": " << err;
    }
  }
  const std::string factors = (dir_ / "x.txt").string();
  ASSERT_EQ(run("fst --rows 50 --populations 3 --interaction --seed 5 --out " + out + " --factors-out " + factors), 0);
  EXPECT_EQ(readFile(out), fstText({50, 3, 3, true, 5}));
  EXPECT_EQ(readFile(factors), factorsText({50, 3, 3, true, 5}));
}

}  // namespace
}  // namespace varno
