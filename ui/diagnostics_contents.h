// What the Diagnostics page shows of one computed table: its rows with their names, marks and
// loci, and the spread of R-hat and ESS across the columns. Made on the worker that computed the
// rows, so that the window's thread only swaps it in, whatever the number of columns.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "report/summary_table.h"
#include "stats/convergence_marks.h"
#include "stats/histogram.h"

namespace varno {

struct DiagnosticsContents {
  std::vector<SummaryRow> rows;  // in file order
  std::vector<QString> names;
  std::vector<int> nameRank;  // place of each name in the names' order ("Locus 9" before "Locus 10")
  std::vector<ConvergenceMarks> marks;
  std::vector<bool> missesTarget;  // any mark
  // frq files: the 0-based locus and allele of each row, -1 for a column of no locus (and for the
  // allele of a count column); empty for other kinds
  std::vector<int> locus, allele;
  int chains = 1;
  // across the columns whose figure is defined
  Histogram rhatSpread, essSpread;
  int rhatCount = 0, essCount = 0;
};

// `alleleCounts` are those of an frq file (empty for other kinds).
std::shared_ptr<const DiagnosticsContents> makeDiagnosticsContents(std::vector<SummaryRow> rows, int chains,
                                                                   const std::vector<int>& alleleCounts);

}  // namespace varno
