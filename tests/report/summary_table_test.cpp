// The summary table on the bundled example, its three texts read back, and undefined figures.
#include "report/summary_table.h"
#include "stats/column_figures.h"
#include "stats/quantile_error.h"
#include "tests/synthetic_chains.h"
#include "tests/recorded_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

namespace varno {
namespace {

using Table = std::vector<std::vector<std::string>>;

Table splitLines(const std::string& text, char separator, const std::string& end) {
  Table table;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t stop = text.find(end, start);
    EXPECT_NE(stop, std::string::npos) << "the last line has no line end";
    if (stop == std::string::npos) break;
    std::vector<std::string> fields;
    const std::string line = text.substr(start, stop - start);
    for (std::size_t f = 0;;) {
      const std::size_t next = line.find(separator, f);
      fields.push_back(line.substr(f, next - f));
      if (next == std::string::npos) break;
      f = next + 1;
    }
    table.push_back(fields);
    start = stop + end.size();
  }
  return table;
}

// RFC 4180: CRLF lines, fields quoted when they hold a comma, a quote or a line end.
Table parseCsv(const std::string& text) {
  Table table(1);
  std::string field;
  bool quoted = false, fresh = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"' && fresh) {
      quoted = true;
      fresh = false;
    } else if (c == ',') {
      table.back().push_back(field);
      field.clear();
      fresh = true;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      table.back().push_back(field);
      field.clear();
      fresh = true;
      ++i;
      table.emplace_back();
    } else {
      EXPECT_NE(c, '\n') << "a bare line feed at " << i;
      field += c;
      fresh = false;
    }
  }
  EXPECT_TRUE(table.back().empty() && field.empty()) << "the last row has no CRLF";
  table.pop_back();
  return table;
}

// The json the table writes: an array of flat objects whose values are strings, numbers or null.
// Values come back as their texts, null as "NA", so the three formats compare alike.
class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : t_(text) {}

  std::optional<std::pair<std::vector<std::string>, Table>> read() {
    std::vector<std::string> keys;
    Table rows;
    if (!take('[')) return std::nullopt;
    if (take(']')) return finish(keys, rows);
    do {
      if (!take('{')) return std::nullopt;
      std::vector<std::string> row, rowKeys;
      do {
        auto key = string();
        if (!key || !take(':')) return std::nullopt;
        rowKeys.push_back(*key);
        auto value = peek() == '"' ? string() : bare();
        if (!value) return std::nullopt;
        row.push_back(*value);
      } while (take(','));
      if (!take('}')) return std::nullopt;
      if (keys.empty()) keys = rowKeys;
      if (rowKeys != keys) return std::nullopt;
      rows.push_back(row);
    } while (take(','));
    if (!take(']')) return std::nullopt;
    return finish(keys, rows);
  }

 private:
  std::optional<std::pair<std::vector<std::string>, Table>> finish(std::vector<std::string>& keys, Table& rows) {
    skip();
    if (i_ != t_.size()) return std::nullopt;
    return std::make_pair(keys, rows);
  }
  void skip() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n')) ++i_;
  }
  char peek() {
    skip();
    return i_ < t_.size() ? t_[i_] : '\0';
  }
  bool take(char c) {
    if (peek() != c) return false;
    ++i_;
    return true;
  }
  std::optional<std::string> string() {
    if (!take('"')) return std::nullopt;
    std::string s;
    while (i_ < t_.size() && t_[i_] != '"') {
      if (t_[i_] == '\\') ++i_;
      if (i_ < t_.size()) s += t_[i_++];
    }
    if (i_ == t_.size()) return std::nullopt;
    ++i_;
    return s;
  }
  std::optional<std::string> bare() {
    const std::size_t start = i_;
    while (i_ < t_.size() && std::string_view("-+.0123456789eEnul").find(t_[i_]) != std::string_view::npos) ++i_;
    const std::string text = t_.substr(start, i_ - start);
    if (text == "null") return "NA";
    double v;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return text;
  }
  const std::string& t_;
  std::size_t i_ = 0;
};

std::vector<std::optional<double>> figuresOf(const SummaryRow& r) {
  const ConvergenceDiagnostics& d = r.diagnostics;
  return {r.mean, r.sd, r.mode, r.hpdiLow, r.hpdiHigh, d.essBulk, d.essTail, d.rhat, d.mcseMean};
}

// Every field read back gives the row it was written from, every number the same double.
void expectRowsReadBack(const Table& fields, const std::vector<SummaryRow>& rows, const std::string& format) {
  ASSERT_EQ(fields.size(), rows.size()) << format;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::vector<std::string>& f = fields[i];
    ASSERT_EQ(f.size(), summaryTableHeader().size()) << format << " row " << i;
    EXPECT_EQ(f[0], std::to_string(rows[i].column)) << format;
    EXPECT_EQ(f[1], rows[i].name) << format;
    EXPECT_EQ(f[2], std::to_string(rows[i].n)) << format;
    const auto figures = figuresOf(rows[i]);
    for (std::size_t k = 0; k < figures.size(); ++k) {
      const std::string& text = f[3 + k];
      if (!figures[k]) {
        EXPECT_EQ(text, "NA") << format << " row " << i << " " << summaryTableHeader()[3 + k];
        continue;
      }
      double v = 0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
      EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
      EXPECT_EQ(v, *figures[k]) << format << " row " << i << " " << summaryTableHeader()[3 + k];
    }
  }
}

SummaryTableOptions lakeOptions() {
  SummaryTableOptions o;
  o.dataPath = VARNO_SOURCE_DIR "/examples/lake.fst";
  o.factorsPath = VARNO_SOURCE_DIR "/examples/lake_factors.txt";
  o.interaction = false;
  o.burnIn = 500;
  return o;
}

class SummaryOfTheExample : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenedAnalysis data;
    std::vector<std::string> warnings;
    ASSERT_FALSE(openAnalysis(lakeOptions(), data, warnings));
    input.chains = data.chains;
    input.layout = data.layout;
    rows = computeSummaryTable(input);
    ASSERT_EQ(rows.size(), 13u);
  }
  SummaryTableInput input;
  std::vector<SummaryRow> rows;
};

// The columns are computed on several threads, each reporting when its column is done: the
// fraction only grows and ends at 1; a cancel asked for after the first column ends the table with
// the one cancellation instead of handing back a table with rows missing.
TEST_F(SummaryOfTheExample, ItsProgressGrowsFromEveryThreadAndItsCancelStopsIt) {
  RecordedProgress progress;
  EXPECT_EQ(computeSummaryTable(input, 3, progress).size(), rows.size());
  const std::vector<double> moves = progress.moves();
  ASSERT_FALSE(moves.empty());
  EXPECT_TRUE(std::is_sorted(moves.begin(), moves.end()));
  EXPECT_EQ(moves.back(), 1.0);

  RecordedProgress cancelled(1);
  EXPECT_THROW(computeSummaryTable(input, 3, cancelled), WorkCancelled);
}

TEST_F(SummaryOfTheExample, EveryFormatReadsBackToTheSameFigures) {
  const std::vector<std::string>& header = summaryTableHeader();
  const Table tsv = splitLines(formatSummaryTable(rows, SummaryFormat::tsv), '\t', "\n");
  ASSERT_FALSE(tsv.empty());
  EXPECT_EQ(tsv[0], header);
  expectRowsReadBack(Table(tsv.begin() + 1, tsv.end()), rows, "tsv");

  const Table csv = parseCsv(formatSummaryTable(rows, SummaryFormat::csv));
  ASSERT_FALSE(csv.empty());
  EXPECT_EQ(csv[0], header);
  expectRowsReadBack(Table(csv.begin() + 1, csv.end()), rows, "csv");

  const auto json = JsonReader(formatSummaryTable(rows, SummaryFormat::json)).read();
  ASSERT_TRUE(json) << "the json does not read back";
  EXPECT_EQ(json->first, header);
  expectRowsReadBack(json->second, rows, "json");

  // and the headless tool's run writes the same text, with the Monte Carlo errors and suggested
  // burn-in appended
  SummaryTableOptions options = lakeOptions();
  options.format = SummaryFormat::csv;
  const SummaryTableResult run = runSummaryTable(options);
  ASSERT_TRUE(run.text);
  EXPECT_EQ(*run.text, formatSummaryTable(rows, SummaryFormat::csv, SummaryColumns{true, {}, false}));
}

TEST_F(SummaryOfTheExample, CountersAndLabelsHaveNoDiagnosticsAndCoefficientsTheirModelsRows) {
  const int retained = input.chains.front().rows.count();
  for (const SummaryRow& r : rows) {
    const bool diagnosed = r.name != "Iteration" && r.name != "Model";
    EXPECT_EQ(r.diagnostics.essBulk.has_value(), diagnosed) << r.name;
    EXPECT_EQ(r.diagnostics.rhat.has_value(), diagnosed) << r.name;
    EXPECT_TRUE(r.mean && r.sd && r.mode && r.hpdiLow && r.hpdiHigh) << r.name;
    if (r.name == "alpha1" || r.name == "alpha2") {
      EXPECT_LT(r.n, retained) << r.name;  // only the rows of models holding the factor
      EXPECT_GT(r.n, 0) << r.name;
    } else {
      EXPECT_EQ(r.n, retained) << r.name;
    }
  }
  // the factor's coefficient is never 0 in the models that hold it
  EXPECT_NE(*rows[11].hpdiLow, 0.0);
}

TEST(SummaryTableText, UndefinedFiguresAndQuotedNames) {
  SummaryRow empty;
  empty.column = 3;
  empty.name = "a, \"b\"";
  SummaryRow one;
  one.column = 4;
  one.name = "x";
  one.n = 1;
  one.mean = 0.1;
  one.diagnostics.rhat = 1.0;
  const std::vector<SummaryRow> rows{empty, one};
  EXPECT_EQ(formatSummaryTable(rows, SummaryFormat::tsv),
            "column\tname\tn\tmean\tsd\tmode\thpdi_low\thpdi_high\tess_bulk\tess_tail\trhat\tmcse_mean\n"
            "3\ta, \"b\"\t0\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\n"
            "4\tx\t1\t0.1\tNA\tNA\tNA\tNA\tNA\tNA\t1\tNA\n");
  const std::string csv = formatSummaryTable(rows, SummaryFormat::csv);
  EXPECT_NE(csv.find("\r\n3,\"a, \"\"b\"\"\",0,NA,"), std::string::npos) << csv;
  const std::string json = formatSummaryTable(rows, SummaryFormat::json);
  EXPECT_NE(json.find("\"name\": \"a, \\\"b\\\"\", \"n\": 0, \"mean\": null"), std::string::npos) << json;
  EXPECT_NE(json.find("\"mean\": 0.1, \"sd\": null"), std::string::npos) << json;
  EXPECT_EQ(formatSummaryTable({}, SummaryFormat::json), "[]\n");
}

TEST(SummaryTable, ColumnsTooShortOrConstantGetNoDiagnostics) {
  auto table = std::make_shared<SampleTable>(3, 4);
  const float values[3][4] = {{5, 6, 7, 8}, {1, 1, 1, 1}, {0.5f, 2, 1, 4}};
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r < 4; ++r) table->cell(c, r) = values[c][r];
  SummaryTableInput input;
  input.chains = {{table, RowRange{0, 4}}};
  const std::vector<SummaryRow> rows = computeSummaryTable(input, 1);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].kind, ColumnKind::counter);
  EXPECT_EQ(rows[1].name, "Column 2");
  EXPECT_EQ(rows[1].sd, 0.0);  // a constant column has figures but no diagnostics
  EXPECT_FALSE(rows[1].diagnostics.essBulk || rows[1].diagnostics.rhat || rows[1].diagnostics.mcseMean);
  EXPECT_FALSE(rows[2].diagnostics.essBulk);  // 2 draws per split chain
  EXPECT_TRUE(rows[2].diagnostics.rhat);      // R-hat needs only 2
}

// The MCSE of an HPDI limit is the quantile MCSE at the share of the diagnosed draws (chains cut
// to the shortest) at or below the limit; the Statistics box's figures are the same numbers.
TEST(SummaryTable, HpdiLimitsMcseIsTheQuantileMcseAtTheirShareOfTheDiagnosedDraws) {
  const auto one = walkTable(260, 11, 0, 0.7, 10), two = walkTable(300, 12, 0, 0.7, 10);
  struct Case {
    const char* name;
    std::vector<ChainRows> chains;
    std::size_t length;  // of each chain in the diagnostics
  };
  const Case cases[] = {
      {"one chain", {{one, {20, 260}}}, 240},
      {"two chains, the longer cut", {{one, {20, 260}}, {two, {20, 300}}}, 240},
      {"two chains of one length", {{one, {20, 260}}, {two, {60, 300}}}, 240},
  };
  for (const Case& c : cases) {
    SummaryTableInput input;
    input.chains = c.chains;
    const SummaryRow row = computeSummaryTable(input, 1).at(1);
    ASSERT_TRUE(row.hpdiLow && row.hpdiHigh) << c.name;
    std::vector<std::vector<double>> draws;
    for (const ChainRows& chain : c.chains) {
      std::vector<double>& d = draws.emplace_back();
      for (int r = chain.rows.begin; r < chain.rows.begin + static_cast<int>(c.length); ++r) d.push_back(chain.table->cell(1, r));
    }
    std::vector<std::span<const double>> spans(draws.begin(), draws.end());
    auto share = [&](double limit) {
      std::size_t below = 0;
      for (const auto& d : draws) below += static_cast<std::size_t>(std::count_if(d.begin(), d.end(), [&](double v) { return v <= limit; }));
      return static_cast<double>(below) / static_cast<double>(c.length * draws.size());
    };
    const auto low = mcseQuantile(spans, share(*row.hpdiLow)), high = mcseQuantile(spans, share(*row.hpdiHigh));
    ASSERT_TRUE(low && high) << c.name;
    EXPECT_EQ(row.mcseHpdiLow, low) << c.name;
    EXPECT_EQ(row.mcseHpdiHigh, high) << c.name;
    EXPECT_GT(*low, 0) << c.name;

    ColumnFiguresInput figuresInput;
    figuresInput.chains = c.chains;
    figuresInput.column = 2;
    const ColumnFigures figures = computeColumnFigures(figuresInput);
    ASSERT_TRUE(figures.mcse) << c.name;
    EXPECT_EQ(figures.mcse->hpdiLow, low) << c.name;
    EXPECT_EQ(figures.mcse->hpdiHigh, high) << c.name;
    EXPECT_EQ(figures.mcse->mean, row.diagnostics.mcseMean) << c.name;
  }
}

}  // namespace
}  // namespace varno
