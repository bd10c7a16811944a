// The export of the retained draws: read back equal, thinned, filtered, never over an input.
#include "report/draws_export.h"
#include "tests/recorded_progress.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

namespace varno {
namespace {

namespace fs = std::filesystem;

// A chain of three columns: a counter, a value with awkward floats, and a model number.
std::shared_ptr<const SampleTable> chain(const std::vector<float>& values, const std::vector<float>& models) {
  auto table = std::make_shared<SampleTable>(3, static_cast<int>(values.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    table->cell(0, r) = static_cast<float>(r + 1);
    table->cell(1, r) = values[static_cast<std::size_t>(r)];
    table->cell(2, r) = models[static_cast<std::size_t>(r)];
  }
  return table;
}

std::vector<std::vector<std::string>> fieldsOf(const std::string& text) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    lines.push_back(fields);
  }
  return lines;
}

float readFloat(const std::string& text) {
  if (text == "NaN") return std::numeric_limits<float>::quiet_NaN();
  if (text == "Inf") return std::numeric_limits<float>::infinity();
  if (text == "-Inf") return -std::numeric_limits<float>::infinity();
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_TRUE(error == std::errc{} && end == text.data() + text.size()) << text;
  return value;
}

const std::vector<float> kValues1 = {0.1f, 1.0f / 3, 16777217.0f, -2.5e-38f, 1e-45f, 7.0f};
const std::vector<float> kModels1 = {1, 2, 2, 1, 2, 2};
const std::vector<float> kValues2 = {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity(),
                                     3.4028235e38f, 0.3f};
const std::vector<float> kModels2 = {2, 2, 1, 2};

DrawsExportInput twoChains() {
  DrawsExportInput in;
  in.chains = {{chain(kValues1, kModels1), {1, 6}}, {chain(kValues2, kModels2), {0, 4}}};
  in.columnNames = {"Iteration", "Sigma \xC2\xB2", "Model"};
  return in;
}

TEST(DrawsExport, ReadsBackAsTheRetainedFloats) {
  const DrawsExport out = exportDraws(twoChains());
  ASSERT_TRUE(out.error.empty()) << out.error;
  const auto lines = fieldsOf(out.text);
  ASSERT_EQ(lines.size(), 1u + 5 + 4);
  EXPECT_EQ(lines[0], (std::vector<std::string>{".chain", ".iteration", ".draw", "Iteration", "Sigma \xC2\xB2", "Model"}));
  EXPECT_EQ(out.draws, 9);
  struct Expected {
    const char* chain;
    const char* iteration;
    const char* draw;
    float value;
  };
  const Expected expected[] = {{"1", "1", "1", kValues1[1]}, {"1", "2", "2", kValues1[2]}, {"1", "3", "3", kValues1[3]},
                               {"1", "4", "4", kValues1[4]}, {"1", "5", "5", kValues1[5]}, {"2", "1", "6", kValues2[0]},
                               {"2", "2", "7", kValues2[1]}, {"2", "3", "8", kValues2[2]}, {"2", "4", "9", kValues2[3]}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& f = lines[i + 1];
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[0], expected[i].chain);
    EXPECT_EQ(f[1], expected[i].iteration);
    EXPECT_EQ(f[2], expected[i].draw);
    const float back = readFloat(f[4]);
    if (std::isnan(expected[i].value)) {
      EXPECT_TRUE(std::isnan(back)) << f[4];
    } else {
      EXPECT_EQ(back, expected[i].value) << f[4];  // exactly the float, not a rounded text
    }
  }
}

TEST(DrawsExport, ThinningAndModelFilterPerChain) {
  struct Case {
    int thin;
    int modelFilter;
    std::vector<std::string> lines;  // ".chain .iteration .draw Iteration" of each draw
  };
  const Case cases[] = {
      {2, 0, {"1 1 1 2", "1 2 2 4", "1 3 3 6", "2 1 4 1", "2 2 5 3"}},
      {1, 2, {"1 1 1 2", "1 2 2 3", "1 3 3 5", "1 4 4 6", "2 1 5 1", "2 2 6 2", "2 3 7 4"}},
      // every other row of model 2: counted among the rows that pass the filter
      {2, 2, {"1 1 1 2", "1 2 2 5", "2 1 3 1", "2 2 4 4"}},
      {10, 0, {"1 1 1 2", "2 1 2 1"}},
  };
  for (const Case& k : cases) {
    DrawsExportInput in = twoChains();
    in.thin = k.thin;
    in.modelColumn = 2;
    in.modelFilter = k.modelFilter;
    const auto lines = fieldsOf(exportDraws(in).text);
    std::vector<std::string> got;
    for (std::size_t i = 1; i < lines.size(); ++i)
      got.push_back(lines[i][0] + " " + lines[i][1] + " " + lines[i][2] + " " + lines[i][3]);
    EXPECT_EQ(got, k.lines) << "thin " << k.thin << " model " << k.modelFilter;
  }
  DrawsExportInput zero = twoChains();
  zero.thin = 0;
  EXPECT_EQ(exportDraws(zero).error, "the thinning step 0 is not a positive whole number");
}

class DrawsExportFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varno-draws-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }
  static std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  fs::path folder_;
};

TEST_F(DrawsExportFile, WritesTheTextAndNeverOverAnInput) {
  const fs::path data1 = folder_ / "run1.fst", data2 = folder_ / "run2.fst", factors = folder_ / "f.txt";
  for (const fs::path& p : {data1, data2, factors}) std::ofstream(p) << "input\n";
  fs::create_symlink(data2, folder_ / "link.tsv");
  const std::vector<InputFile> inputs = {{"data file", data1.string()},
                                         {"factors file", factors.string()},
                                         {"data file of chain 2", data2.string()}};
  for (const fs::path& target : {data1, data2, factors, folder_ / "link.tsv"}) {
    const auto error = writeDrawsExport(target.string(), twoChains(), inputs);
    ASSERT_TRUE(error.has_value()) << target;
    EXPECT_NE(error->find("writing there would destroy it"), std::string::npos) << *error;
  }
  for (const fs::path& p : {data1, data2, factors}) EXPECT_EQ(read(p), "input\n");

  long long draws = 0;
  const fs::path out = folder_ / "draws.tsv";
  EXPECT_FALSE(writeDrawsExport(out.string(), twoChains(), inputs, &draws).has_value());
  EXPECT_EQ(draws, 9);
  EXPECT_EQ(read(out), exportDraws(twoChains()).text);
}

TEST_F(DrawsExportFile, AnExportOfManyPiecesIsTheWholeTextAndACancelWritesNothing) {
  // some megabytes of text: written a piece at a time, lines never cut between pieces
  std::vector<float> values, models;
  for (int r = 0; r < 100000; ++r) {
    values.push_back(static_cast<float>(r) / 7.0f);
    models.push_back(static_cast<float>(1 + r % 3));
  }
  DrawsExportInput in;
  in.chains = {{chain(values, models), {0, 100000}}, {chain(values, models), {5, 99000}}};
  in.columnNames = {"Iteration", "Value", "Model"};
  const std::string text = exportDraws(in).text;
  ASSERT_GT(text.size(), 4u << 20);

  long long draws = 0;
  const fs::path out = folder_ / "draws.tsv";
  ASSERT_FALSE(writeDrawsExport(out.string(), in, {}, &draws).has_value());
  EXPECT_EQ(draws, 100000 + 98995);
  EXPECT_EQ(read(out), text);
  EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1), "2\t98995\t198995\t99000\t" +
                                                                     std::string(fieldsOf(text).back()[4]) + "\t3\n");

  // a cancel asked for after the first piece ends the export with the one cancellation, no file left
  RecordedProgress progress(1);
  const fs::path cancelled = folder_ / "cancelled.tsv";
  EXPECT_THROW(writeDrawsExport(cancelled.string(), in, {}, nullptr, progress), WorkCancelled);
  ASSERT_EQ(progress.moves().size(), 1u);
  EXPECT_LT(progress.moves()[0], 1.0);
  EXPECT_FALSE(fs::exists(cancelled));
}

}  // namespace
}  // namespace varno
