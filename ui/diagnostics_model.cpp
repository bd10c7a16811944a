// The rows of the Diagnostics page as a table model.
#include "ui/diagnostics_model.h"

#include <QBrush>
#include <QFont>
#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "report/burn_in_texts.h"
#include "report/target_marks.h"
#include "stats/mcse_rounding.h"
#include "stats/number_format.h"
#include "stats/text_numbers.h"

namespace varno {

namespace {

enum Column {
  cColumn,
  cName,
  cN,
  cMean,
  cSd,
  cMode,
  cLow,
  cHigh,
  cEssBulk,
  cEssTail,
  cRhat,
  cMcse,
  cMcseLow,
  cMcseHigh,
  cBurnIn,
  cCount
};

// On screen figures are short, to keep every column in sight; the copied and saved texts are exact.
// Effective sample sizes get one decimal, so that 99.96 does not read as a fine 100.
QString figureText(const std::optional<double>& value, int column) {
  if (!value) return QStringLiteral("\u2013");
  if (column == cEssBulk || column == cEssTail) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::fixed, 1);
    return end.ec == std::errc{} ? QString::fromLatin1(buffer, static_cast<qsizetype>(end.ptr - buffer))
                                 : QStringLiteral("\u2013");
  }
  // a burn-in is a number of rows: every digit
  if (column == cBurnIn) return QLocale(QLocale::English).toString(static_cast<qint64>(*value));
  const int digits = column == cRhat ? 4 : column == cMcse || column == cMcseLow || column == cMcseHigh ? 3 : 5;
  return QString::fromStdString(generalFormat(*value, digits));
}

// The figure's error where the table can round it to the digits the chain supports.
std::optional<double> roundingError(const SummaryRow& row, int column) {
  switch (column) {
    case cMean: return row.diagnostics.mcseMean;
    case cLow: return row.mcseHpdiLow;
    case cHigh: return row.mcseHpdiHigh;
    default: return std::nullopt;
  }
}

int locusLineKey(int locus) { return -(locus + 2); }

}  // namespace

QColor DiagnosticsModel::markColour() { return QColor(255, 190, 190); }

void DiagnosticsModel::setContents(std::shared_ptr<const DiagnosticsContents> contents,
                                   std::shared_ptr<const TargetEvaluation> evaluation) {
  beginResetModel();
  contents_ = std::move(contents);
  evaluation_ = std::move(evaluation);
  indexMisses();
  shown_ = shownOrder(&shownRows_);
  endResetModel();
}

void DiagnosticsModel::setTargetEvaluation(std::shared_ptr<const TargetEvaluation> evaluation) {
  evaluation_ = std::move(evaluation);
  indexMisses();
  if (onlyMissing_) {
    rebuild();
    return;
  }
  if (rowCount() > 0) emit dataChanged(index(0, cEssBulk), index(rowCount() - 1, cRhat), {Qt::BackgroundRole, Qt::ToolTipRole});
}

void DiagnosticsModel::indexMisses() {
  const std::size_t n = contents_ ? contents_->rows.size() : 0;
  missAt_.assign(n, -1);
  if (!evaluation_ || n == 0) return;
  // misses name their column; the rows are in file order, but a column may be missing from them
  std::vector<int> rowOfColumn;
  for (std::size_t r = 0; r < n; ++r) {
    const std::size_t column = static_cast<std::size_t>(std::max(0, contents_->rows[r].column));
    if (rowOfColumn.size() <= column) rowOfColumn.resize(column + 1, -1);
    rowOfColumn[column] = static_cast<int>(r);
  }
  for (std::size_t m = 0; m < evaluation_->misses.size(); ++m) {
    const std::size_t column = static_cast<std::size_t>(std::max(0, evaluation_->misses[m].column));
    if (column < rowOfColumn.size() && rowOfColumn[column] >= 0)
      missAt_[static_cast<std::size_t>(rowOfColumn[column])] = static_cast<int>(m);
  }
}

const TargetMiss* DiagnosticsModel::missOf(std::size_t row) const {
  if (row >= missAt_.size() || missAt_[row] < 0) return nullptr;
  return &evaluation_->misses[static_cast<std::size_t>(missAt_[row])];
}

void DiagnosticsModel::clear() {
  beginResetModel();
  contents_.reset();
  evaluation_.reset();
  missAt_.clear();
  shown_.clear();
  shownRows_ = 0;
  endResetModel();
}

void DiagnosticsModel::setNameFilter(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed == filter_) return;
  filter_ = trimmed;
  filterNumber_.reset();
  if (const auto number = parseWholeNumber(trimmed.toStdString())) filterNumber_ = *number;
  rebuild();
}

void DiagnosticsModel::setOnlyMissingTarget(bool only) {
  if (only == onlyMissing_) return;
  onlyMissing_ = only;
  rebuild();
}

void DiagnosticsModel::setGroupedByLocus(bool grouped) {
  if (grouped == grouped_) return;
  grouped_ = grouped;
  rebuild();
}

void DiagnosticsModel::setRoundedToMcse(bool rounded) {
  if (rounded == rounded_) return;
  rounded_ = rounded;
  if (rowCount() > 0) emit dataChanged(index(0, cMean), index(rowCount() - 1, cHigh), {Qt::DisplayRole});
}

void DiagnosticsModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  sortColumn_ = column;
  sortOrder_ = order;
  rebuild();
}

bool DiagnosticsModel::passes(std::size_t row) const {
  if (onlyMissing_ && !missOf(row)) return false;
  if (filter_.isEmpty()) return true;
  if (filterNumber_ && contents_->rows[row].column == *filterNumber_) return true;
  return contents_->names[row].contains(filter_, Qt::CaseInsensitive);
}

std::vector<int> DiagnosticsModel::sortedFilteredRows() const {
  std::vector<int> rows;
  if (!contents_) return rows;
  rows.reserve(contents_->rows.size());
  // the orders were found on the worker: here only a walk through one, undefined figures after
  // every defined one in both directions
  const std::vector<int>& ascending = contents_->ascending[static_cast<std::size_t>(sortColumn_)];
  const auto defined = static_cast<std::ptrdiff_t>(contents_->definedCount[static_cast<std::size_t>(sortColumn_)]);
  const auto take = [&](int r) {
    if (passes(static_cast<std::size_t>(r))) rows.push_back(r);
  };
  if (sortOrder_ == Qt::DescendingOrder) {
    for (std::ptrdiff_t i = defined - 1; i >= 0; --i) take(ascending[static_cast<std::size_t>(i)]);
    for (std::size_t i = static_cast<std::size_t>(defined); i < ascending.size(); ++i) take(ascending[i]);
  } else {
    for (int r : ascending) take(r);
  }
  return rows;
}

std::vector<int> DiagnosticsModel::shownOrder(int* summaryRows) const {
  std::vector<int> order = sortedFilteredRows();
  *summaryRows = static_cast<int>(order.size());
  if (grouped_ && contents_ && !contents_->locus.empty()) {
    // each locus where its first row falls in the sort, with all of its rows that pass
    const auto& locus = contents_->locus;
    int loci = 0;
    for (int l : locus) loci = std::max(loci, l + 1);
    std::vector<std::vector<int>> members(static_cast<std::size_t>(loci));
    for (int r : order)
      if (locus[static_cast<std::size_t>(r)] >= 0) members[static_cast<std::size_t>(locus[static_cast<std::size_t>(r)])].push_back(r);
    std::vector<int> grouped;
    grouped.reserve(order.size() + static_cast<std::size_t>(loci));
    for (int r : order) {
      const int l = locus[static_cast<std::size_t>(r)];
      if (l < 0) {
        grouped.push_back(r);
        continue;
      }
      auto& rows = members[static_cast<std::size_t>(l)];
      if (rows.empty()) continue;  // placed already
      grouped.push_back(locusLineKey(l));
      grouped.insert(grouped.end(), rows.begin(), rows.end());
      rows.clear();
    }
    order = std::move(grouped);
  }
  return order;
}

void DiagnosticsModel::rebuild() {
  int summaryRows = 0;
  std::vector<int> order = shownOrder(&summaryRows);
  if (order.size() != shown_.size()) {
    beginResetModel();
    shown_ = std::move(order);
    shownRows_ = summaryRows;
    endResetModel();
    return;
  }
  // the same number of rows: a new order, the selection kept on the rows it was on
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<int> keys;
  keys.reserve(static_cast<std::size_t>(before.size()));
  for (const QModelIndex& index : before) keys.push_back(shown_[static_cast<std::size_t>(index.row())]);
  shown_ = std::move(order);
  shownRows_ = summaryRows;
  const std::size_t rowCount = contents_ ? contents_->rows.size() : 0;
  std::vector<int> rowAt(rowCount, -1), lineAt;
  for (std::size_t i = 0; i < shown_.size(); ++i) {
    const int key = shown_[i];
    if (key >= 0) {
      rowAt[static_cast<std::size_t>(key)] = static_cast<int>(i);
    } else {
      const std::size_t l = static_cast<std::size_t>(-key - 2);
      if (lineAt.size() <= l) lineAt.resize(l + 1, -1);
      lineAt[l] = static_cast<int>(i);
    }
  }
  QModelIndexList after;
  after.reserve(before.size());
  for (qsizetype i = 0; i < before.size(); ++i) {
    const int key = keys[static_cast<std::size_t>(i)];
    int row = -1;
    if (key >= 0) {
      row = rowAt[static_cast<std::size_t>(key)];
    } else if (static_cast<std::size_t>(-key - 2) < lineAt.size()) {
      row = lineAt[static_cast<std::size_t>(-key - 2)];
    }
    after.push_back(row < 0 ? QModelIndex() : index(row, before[i].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int DiagnosticsModel::summaryIndexAt(int row) const {
  if (row < 0 || row >= static_cast<int>(shown_.size())) return -1;
  return std::max(-1, shown_[static_cast<std::size_t>(row)]);
}

int DiagnosticsModel::rowOfSummaryIndex(int index) const {
  const auto at = std::find(shown_.begin(), shown_.end(), index);
  return at == shown_.end() || index < 0 ? -1 : static_cast<int>(at - shown_.begin());
}

int DiagnosticsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int DiagnosticsModel::columnCount(const QModelIndex& parent) const {
  // the columns the table's header names, in its order
  return parent.isValid() ? 0 : std::min(static_cast<int>(cCount), static_cast<int>(diagnosticsHeader().size()));
}

QVariant DiagnosticsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const auto& header = diagnosticsHeader();
  if (section < 0 || section >= static_cast<int>(header.size())) return {};
  return QString::fromStdString(header[static_cast<std::size_t>(section)]);
}

QVariant DiagnosticsModel::data(const QModelIndex& index, int role) const {
  if (!contents_ || !index.isValid() || index.row() >= static_cast<int>(shown_.size())) return {};
  const int key = shown_[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  if (key < 0) {
    // a locus line: its name, set apart from the rows under it
    if (role == Qt::DisplayRole && column == cName) return QString("Locus %1").arg(-key - 1);
    if (role == Qt::BackgroundRole) return QBrush(QColor(232, 232, 232));
    if (role == Qt::FontRole) {
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    return {};
  }
  const std::size_t r = static_cast<std::size_t>(key);
  const SummaryRow& row = contents_->rows[r];
  const TargetMiss* miss = missOf(r);
  const bool missed = miss && ((column == cEssBulk && miss->essBulk) || (column == cEssTail && miss->essTail) ||
                               (column == cRhat && miss->rhat));
  switch (role) {
    case Qt::DisplayRole: {
      if (column == cName) return contents_->names[r];
      const std::optional<double> figure = summaryFigure(row, column);
      if (rounded_ && figure && (column == cMean || column == cLow || column == cHigh))
        return QString::fromStdString(mcseRounded(*figure, roundingError(row, column)));
      return figureText(figure, column);
    }
    case Qt::TextAlignmentRole:
      return column == cName ? QVariant() : QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
    case Qt::BackgroundRole:
      if (missed) return QBrush(markColour());
      return {};
    case Qt::ToolTipRole:
      if (missed) {
        const ConvergenceMarks marks = targetMarks(*miss, row.diagnostics, *evaluation_, contents_->chains);
        const std::optional<std::string>& why = column == cEssBulk ? marks.essBulk : column == cEssTail ? marks.essTail : marks.rhat;
        return QString::fromStdString(why.value_or(std::string()));
      }
      // a column without a burn-in of its own says why
      if (column == cBurnIn && row.kind != ColumnKind::counter && row.kind != ColumnKind::modelLabel &&
          !row.burnInMser.suggested)
        return QString::fromStdString(noSuggestionReason(row.burnInMser));
      return {};
    default:
      return {};
  }
}

}  // namespace varno
