// A column told by its name: the header's or the chooser's.
#include "report/named_column.h"

#include <vector>

#include "core/text_pieces.h"
#include "report/summary_table.h"

namespace varno {

std::optional<RunError> namedColumn(const std::string& option, const std::string& dataPath, const SampleTable& table,
                                    const TableLayout& layout, const std::string& name, int& column) {
  const std::vector<std::string>& header = table.columnNames();
  const std::vector<std::string> shown = summaryColumnNames(table, layout);
  auto bears = [&](const std::vector<std::string>& names, std::size_t c) {
    return c < names.size() && names[c] == name;
  };
  std::vector<int> found;
  for (std::size_t c = 0; c < static_cast<std::size_t>(table.columnCount()); ++c)
    if (bears(header, c) || bears(shown, c)) found.push_back(static_cast<int>(c) + 1);
  if (found.size() == 1) {
    column = found.front();
    return std::nullopt;
  }
  std::string list;
  for (std::size_t c = 0; c < shown.size(); ++c)
    list += (c ? ", " : "") + decimal(static_cast<long long>(c) + 1) + " " + shown[c];
  if (found.empty())
    return RunError{option + quoted(name) + ": " + quoted(dataPath) + " has no column of that name; its columns are " + list,
                    true};
  std::string numbers;
  for (std::size_t k = 0; k < found.size(); ++k) numbers += (k ? " and " : "") + decimal(found[k]);
  return RunError{option + quoted(name) + ": " + quoted(dataPath) + " names columns " + numbers + " so; give the column number",
                  true};
}

std::optional<RunError> requestedColumn(const std::string& dataPath, const SampleTable& table, const TableLayout& layout,
                                        int column, const std::string& columnName, int& chosen) {
  chosen = column;
  if (!columnName.empty()) {
    if (auto error = namedColumn("--column ", dataPath, table, layout, columnName, chosen)) return error;
  }
  if (chosen < 1 || chosen > table.columnCount())
    return RunError{"column " + decimal(chosen) + " does not exist: " + quoted(dataPath) + " has " +
                        counted(table.columnCount(), "column", "columns"),
                    true};
  return std::nullopt;
}

std::optional<RunError> openRequestedColumn(const ColumnStatisticsOptions& options, OpenedAnalysis& data, int& column,
                                            std::vector<std::string>& warnings, Progress& progress) {
  if (auto error = openAnalysis(options, data, warnings, progress)) return error;
  return requestedColumn(options.dataPath, *data.chains.front().table, data.layout, options.column, options.columnName,
                         column);
}

}  // namespace varno
