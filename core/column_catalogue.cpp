// Column meanings of the three kinds of data file.
#include "core/column_catalogue.h"

#include <cmath>

#include "core/table_layout.h"
#include "core/text_pieces.h"

namespace varno {

namespace {

std::vector<std::string> numberedEntries(long long count) {
  std::vector<std::string> entries;
  if (count > 0) entries.reserve(static_cast<std::size_t>(count));
  for (long long i = 1; i <= count; ++i) entries.push_back(decimal(i));
  return entries;
}

}  // namespace

std::vector<std::string> fstColumnLabels(int columnCount, int factorCount) {
  std::vector<std::string> labels = {"Iteration", "Sigma \xC2\xB2", "Log likelihood"};
  const long long populations = TableLayout::populationsIn(columnCount, factorCount);
  for (long long i = 1; i <= populations; ++i) labels.push_back(concat("Fst", decimal(i)));
  labels.emplace_back("Model");
  for (int j = 0; j <= factorCount; ++j) labels.push_back(concat("alpha", decimal(j)));
  return labels;
}

std::vector<std::string> otherColumnLabels(int columnCount, const std::vector<std::string>& names) {
  std::vector<std::string> labels = numberedEntries(columnCount);
  for (std::size_t c = 0; c < labels.size() && c < names.size(); ++c)
    if (!names[c].empty()) labels[c] = names[c];
  return labels;
}

std::optional<std::string> fstLayoutError(int columnCount, int factorCount) {
  const long long needed = TableLayout::columnsNeeded(factorCount);
  if (columnCount >= needed) return std::nullopt;
  return "The file has " + counted(columnCount, "column", "columns") + ", but a model with " +
         counted(factorCount, "factor", "factors") + " needs at least " + decimal(needed) +
         " (iteration, Sigma \xC2\xB2, log likelihood, model and " +
         counted(static_cast<long long>(factorCount) + 1, "coefficient", "coefficients") + ").";
}

std::optional<std::string> otherLayoutError(int columnCount) {
  if (columnCount > 0) return std::nullopt;
  return std::string("The file has no column to show.");
}

std::vector<int> frqAlleleCounts(const SampleTable& table) {
  std::vector<int> counts;
  if (table.rowCount() < 1) return counts;
  const int columns = table.columnCount();
  int c = 1;
  while (c < columns) {
    const float value = table.cell(c, 0);
    // Counts of -1 and below would make the walk stand still or go back.
    if (std::isnan(value) || value <= -1.0f) break;
    const int left = columns - c - 1;
    const int a = value >= static_cast<float>(left) ? left : static_cast<int>(value);
    counts.push_back(a);
    c += a + 1;
  }
  return counts;
}

std::optional<std::string> frqLayoutError(int rowCount, const std::vector<int>& alleleCounts) {
  if (rowCount < 1) return std::string("The file has no rows.");
  for (int a : alleleCounts) {
    if (a >= 1) return std::nullopt;
  }
  return std::string("The first row of the file describes no locus with an allele.");
}

int frqColumn(const std::vector<int>& alleleCounts, int locus, int allele) {
  if (locus < 0 || locus >= static_cast<int>(alleleCounts.size())) return 0;
  if (allele < 0 || allele >= alleleCounts[locus]) return 0;
  long long column = 2;
  for (int i = 0; i < locus; ++i) column += static_cast<long long>(alleleCounts[i]) + 1;
  return static_cast<int>(column + allele + 1);
}

std::vector<std::string> locusEntries(const std::vector<int>& alleleCounts) {
  return numberedEntries(static_cast<long long>(alleleCounts.size()));
}

std::vector<std::string> alleleEntries(const std::vector<int>& alleleCounts, int locus) {
  if (locus < 0 || locus >= static_cast<int>(alleleCounts.size())) return {};
  return numberedEntries(alleleCounts[locus]);
}

int reloadSelection(int rememberedIndex, int entryCount, int defaultIndex) {
  if (rememberedIndex >= 0 && rememberedIndex < entryCount) return rememberedIndex;
  if (defaultIndex >= 0 && defaultIndex < entryCount) return defaultIndex;
  return entryCount > 0 ? 0 : -1;
}

}  // namespace varno
