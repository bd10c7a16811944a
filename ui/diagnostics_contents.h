// What the Diagnostics page shows of one computed table: its rows with their names and
// loci, and the spread of R-hat and ESS across the columns. Made on the worker that computed the
// rows, so that the window's thread only swaps it in, whatever the number of columns.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "report/summary_table.h"
#include "stats/histogram.h"

namespace varno {

struct DiagnosticsContents {
  std::vector<SummaryRow> rows;  // in file order
  std::vector<QString> names;
  // per column of the table, the rows in ascending order of its figure (names as a reader orders
  // them: "Locus 9" before "Locus 10"), those with a defined figure first
  std::vector<std::vector<int>> ascending;
  std::vector<std::size_t> definedCount;
  // frq files: the 0-based locus and allele of each row, -1 for a column of no locus (and for the
  // allele of a count column); empty for other kinds
  std::vector<int> locus, allele;
  int chains = 1;
  // across the columns whose figure is defined
  Histogram rhatSpread, essSpread;
  int rhatCount = 0, essCount = 0;
};

// The page's columns: the summary's, then the HPDI limits' errors and the column's own burn-in,
// as the tool's --summary appends them; its copied and saved texts have the same.
SummaryColumns diagnosticsColumns();
const std::vector<std::string>& diagnosticsHeader();

// The figure of the table's column `column` (0-based, as diagnosticsHeader) of a row; nothing
// for the name and for an undefined figure.
std::optional<double> summaryFigure(const SummaryRow& row, int column);

// `alleleCounts` are those of an frq file (empty for other kinds).
std::shared_ptr<const DiagnosticsContents> makeDiagnosticsContents(std::vector<SummaryRow> rows, int chains,
                                                                   const std::vector<int>& alleleCounts);

}  // namespace varno
