// Reading the reference values and draws the stats tests compare with (tests/stats/fixtures).
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace varno::fixtures {

inline const std::string kFixtures = VARNO_SOURCE_DIR "/tests/stats/fixtures/";

// The tab-separated fields of every line that is neither empty nor a "#" comment.
inline std::vector<std::vector<std::string>> tsvRows(const std::string& name) {
  std::ifstream in(kFixtures + name);
  EXPECT_TRUE(in) << "cannot read " << name;
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream fieldsIn(line);
    for (std::string f; std::getline(fieldsIn, f, '\t');) fields.push_back(f);
    rows.push_back(fields);
  }
  return rows;
}

// A number of the fixtures: "NA" is nothing; "NaN", "Inf" and "-Inf" are read as such.
inline std::optional<double> number(const std::string& text) {
  if (text == "NA") return std::nullopt;
  if (text == "NaN") return std::nan("");
  if (text == "Inf") return INFINITY;
  if (text == "-Inf") return -INFINITY;
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size()) << text;
  return v;
}

using DrawCases = std::map<std::string, std::vector<std::vector<double>>>;

// The draws of every case of convergence_draws.tsv (name, 1-based chain, value), chain by chain.
inline const DrawCases& drawCases() {
  static const DrawCases cases = [] {
    DrawCases c;
    for (const auto& row : tsvRows("convergence_draws.tsv")) {
      auto& chains = c[row.at(0)];
      const std::size_t chain = static_cast<std::size_t>(std::stoi(row.at(1)));
      if (chains.size() < chain) chains.resize(chain);
      chains[chain - 1].push_back(*number(row.at(2)));
    }
    return c;
  }();
  return cases;
}

}  // namespace varno::fixtures
