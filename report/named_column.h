// Finding a column the user named on the command line.
#pragma once

#include <optional>
#include <string>

#include "core/sample_table.h"
#include "core/table_layout.h"
#include "report/open_analysis.h"
#include "report/unattended_run.h"

namespace varno {

// The 1-based column a name stands for: a name of the header line or the name the tool shows for
// it (the column chooser's: "Fst1", "Sigma ²", "Column 3"); refused, as an argument error that
// starts with `option` and the quoted name, when no column or several bear it.
std::optional<RunError> namedColumn(const std::string& option, const std::string& dataPath, const SampleTable& table,
                                    const TableLayout& layout, const std::string& name, int& column);

// The 1-based column of --column: `columnName` when given (namedColumn), `column` otherwise;
// refused as an argument error when the table has no such column.
std::optional<RunError> requestedColumn(const std::string& dataPath, const SampleTable& table, const TableLayout& layout,
                                        int column, const std::string& columnName, int& chosen);

// The analysis opened as for the column's Statistics box, and the 1-based column it asks for.
std::optional<RunError> openRequestedColumn(const ColumnStatisticsOptions& options, OpenedAnalysis& data, int& column,
                                            std::vector<std::string>& warnings,
                                            Progress& progress = Progress::unwatched());

}  // namespace varno
