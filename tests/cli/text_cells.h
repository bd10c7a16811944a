// The cells of the tool's output, line by line: tab-separated, or split at another separator.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace varno::testing {

inline std::vector<std::vector<std::string>> cellsOf(const std::string& text, char separator = '\t') {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    std::istringstream fields(line);
    for (std::string cell; std::getline(fields, cell, separator);) cells.push_back(cell);
    rows.push_back(cells);
  }
  return rows;
}

}  // namespace varno::testing
