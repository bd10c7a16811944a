// What the Diagnostics page shows of one computed table.
#include "ui/diagnostics_contents.h"

#include <algorithm>
#include <numeric>

namespace varno {

namespace {

constexpr int kSpreadClasses = 40;

// The classes of the defined figures between their smallest and largest.
Histogram spreadOf(const std::vector<double>& values) {
  if (values.empty()) return {};
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return histogramOf(values, *low, *high, kSpreadClasses);
}

// Names in the order a reader expects: "Locus 9" before "Locus 10", digits compared as numbers.
int compareNames(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype ei = i, ej = j;
      while (ei < a.size() && a[ei].isDigit()) ++ei;
      while (ej < b.size() && b[ej].isDigit()) ++ej;
      // leading zeros aside, a longer run of digits is the larger number
      qsizetype si = i, sj = j;
      while (si + 1 < ei && a[si] == u'0') ++si;
      while (sj + 1 < ej && b[sj] == u'0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
      for (; si < ei; ++si, ++sj)
        if (a[si] != b[sj]) return a[si] < b[sj] ? -1 : 1;
      i = ei;
      j = ej;
      continue;
    }
    const QChar x = a[i].toCaseFolded(), y = b[j].toCaseFolded();
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

SummaryColumns diagnosticsColumns() { return SummaryColumns{true, {}, false}; }

const std::vector<std::string>& diagnosticsHeader() {
  static const std::vector<std::string> header = summaryTableHeader(diagnosticsColumns());
  return header;
}

std::optional<double> summaryFigure(const SummaryRow& row, int column) {
  switch (column) {
    case 0: return row.column;
    case 2: return row.n;
    case 3: return row.mean;
    case 4: return row.sd;
    case 5: return row.mode;
    case 6: return row.hpdiLow;
    case 7: return row.hpdiHigh;
    case 8: return row.diagnostics.essBulk;
    case 9: return row.diagnostics.essTail;
    case 10: return row.diagnostics.rhat;
    case 11: return row.diagnostics.mcseMean;
    case 12: return row.mcseHpdiLow;
    case 13: return row.mcseHpdiHigh;
    case 14:
      if (!row.burnInMser.suggested) return std::nullopt;
      return static_cast<double>(row.burnInMser.rows);
    default: return std::nullopt;
  }
}

std::shared_ptr<const DiagnosticsContents> makeDiagnosticsContents(std::vector<SummaryRow> rows, int chains,
                                                                   const std::vector<int>& alleleCounts) {
  auto contents = std::make_shared<DiagnosticsContents>();
  contents->chains = chains;
  const std::size_t n = rows.size();
  contents->names.reserve(n);
  std::vector<double> rhats, esses;
  for (const SummaryRow& row : rows) {
    contents->names.push_back(QString::fromStdString(row.name));
    if (row.diagnostics.rhat) rhats.push_back(*row.diagnostics.rhat);
    if (row.diagnostics.essBulk) esses.push_back(*row.diagnostics.essBulk);
  }
  if (!alleleCounts.empty()) {
    // column 1 (1-based) is of no locus; each locus is its count column and then its alleles
    contents->locus.assign(n, -1);
    contents->allele.assign(n, -1);
    std::size_t at = 1;  // 0-based row of the count column of the locus
    for (int l = 0; l < static_cast<int>(alleleCounts.size()) && at < n; ++l) {
      const int alleles = alleleCounts[static_cast<std::size_t>(l)];
      for (int a = -1; a < alleles && at < n; ++a, ++at) {
        contents->locus[at] = l;
        contents->allele[at] = a;
      }
    }
  }
  contents->rhatCount = static_cast<int>(rhats.size());
  contents->essCount = static_cast<int>(esses.size());
  contents->rhatSpread = spreadOf(rhats);
  contents->essSpread = spreadOf(esses);
  // the order of the names, found here once: sorting by name on the window's thread then
  // compares whole numbers
  std::vector<int> byName(n);
  std::iota(byName.begin(), byName.end(), 0);
  std::stable_sort(byName.begin(), byName.end(), [&](int a, int b) {
    return compareNames(contents->names[static_cast<std::size_t>(a)], contents->names[static_cast<std::size_t>(b)]) < 0;
  });
  const std::size_t columns = diagnosticsHeader().size();
  contents->ascending.resize(columns);
  contents->definedCount.assign(columns, n);
  for (std::size_t c = 0; c < columns; ++c) {
    std::vector<int>& order = contents->ascending[c];
    if (c == 1) {
      order = byName;
      continue;
    }
    // defined figures first, ascending, ties in file order; then the undefined ones in file order
    order.resize(n);
    std::iota(order.begin(), order.end(), 0);
    const int column = static_cast<int>(c);
    const auto undefined = std::stable_partition(order.begin(), order.end(), [&](int r) {
      return summaryFigure(rows[static_cast<std::size_t>(r)], column).has_value();
    });
    std::stable_sort(order.begin(), undefined, [&](int a, int b) {
      return *summaryFigure(rows[static_cast<std::size_t>(a)], column) < *summaryFigure(rows[static_cast<std::size_t>(b)], column);
    });
    contents->definedCount[c] = static_cast<std::size_t>(undefined - order.begin());
  }
  contents->rows = std::move(rows);
  return contents;
}

}  // namespace varno
