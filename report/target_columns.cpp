// The columns a convergence target can list, and the item naming each in the target's text.
#include "report/target_columns.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "report/summary_table.h"
#include "stats/diagnostic_draws.h"

namespace varno {

namespace {

bool usableInList(const std::string& name) {
  if (name.empty() || name.find(',') != std::string::npos) return false;
  // blanks around an item are dropped when the list is read back
  if (name.front() == ' ' || name.front() == '\t' || name.back() == ' ' || name.back() == '\t') return false;
  return !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::vector<TargetColumn> targetColumns(const SampleTable& table, const TableLayout& layout, RowRange rows) {
  std::vector<std::string> names = summaryColumnNames(table, layout);
  std::unordered_map<std::string_view, int> uses;
  uses.reserve(names.size());
  for (const std::string& name : names) ++uses[name];
  std::vector<TargetColumn> out;
  out.reserve(names.size());
  for (int c = 0; c < table.columnCount() && c < static_cast<int>(names.size()); ++c) {
    const ColumnKind kind = columnKind(table, c, layout, rows);
    if (kind != ColumnKind::quantity && kind != ColumnKind::factorCoefficient) continue;
    const std::string& name = names[static_cast<std::size_t>(c)];
    out.push_back({c + 1, {}, usableInList(name) && uses[name] == 1 ? name : std::to_string(c + 1)});
  }
  // the names are moved only now: the counts above look at them
  for (TargetColumn& column : out) column.name = std::move(names[static_cast<std::size_t>(column.column - 1)]);
  return out;
}

bool namesTargetColumn(const std::string& item, const TargetColumn& column) {
  return item == column.name || item == std::to_string(column.column);
}

}  // namespace varno
