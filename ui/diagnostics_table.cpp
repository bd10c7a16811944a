// The Diagnostics page's table.
#include "ui/diagnostics_table.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <charconv>
#include <cmath>
#include <limits>

#include "stats/convergence_marks.h"
#include "stats/number_format.h"

namespace varno {

namespace {

constexpr int kSortKey = Qt::UserRole;
constexpr int kSummaryIndex = Qt::UserRole + 1;

// Sorts by number, undefined figures after every defined one; the name column by text.
class FigureItem : public QTableWidgetItem {
 public:
  using QTableWidgetItem::QTableWidgetItem;
  bool operator<(const QTableWidgetItem& other) const override {
    const QVariant a = data(kSortKey), b = other.data(kSortKey);
    if (!a.isValid() || !b.isValid()) return QTableWidgetItem::operator<(other);
    const double x = a.toDouble(), y = b.toDouble();
    if (std::isnan(x) || std::isnan(y)) return !std::isnan(x) && std::isnan(y);
    return x < y;
  }
};

// On screen figures are short, to keep every column in sight; the copied and saved texts are exact.
// Effective sample sizes get one decimal (digits < 0), so that 99.96 does not read as a fine 100.
QTableWidgetItem* figure(const std::optional<double>& value, int digits = 5) {
  QString text("\u2013");
  if (value && digits > 0) {
    text = QString::fromStdString(generalFormat(*value, digits));
  } else if (value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::fixed, -digits);
    if (end.ec == std::errc{}) text = QString::fromLatin1(buffer, static_cast<qsizetype>(end.ptr - buffer));
  }
  auto* item = new FigureItem(text);
  item->setData(kSortKey, value ? *value : std::numeric_limits<double>::quiet_NaN());
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

void mark(QTableWidgetItem* item, const std::optional<std::string>& why) {
  if (!why) return;
  item->setBackground(DiagnosticsTable::markColour());
  item->setToolTip(QString::fromStdString(*why));
}

}  // namespace

DiagnosticsTable::DiagnosticsTable(QWidget* parent) : QTableWidget(parent) {
  QStringList header;
  for (const std::string& h : summaryTableHeader()) header << QString::fromStdString(h);
  setColumnCount(static_cast<int>(header.size()));
  setHorizontalHeaderLabels(header);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(true);
  sortByColumn(0, Qt::AscendingOrder);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setStretchLastSection(true);
}

QColor DiagnosticsTable::markColour() { return QColor(255, 190, 190); }

void DiagnosticsTable::clearRows() { setRowCount(0); }

void DiagnosticsTable::setRows(const std::vector<SummaryRow>& rows, int chains) {
  // filled unsorted: sorting while filling would move rows under the loop
  setSortingEnabled(false);
  clearContents();
  setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const SummaryRow& row = rows[static_cast<std::size_t>(r)];
    auto* column = figure(static_cast<double>(row.column));
    column->setData(kSummaryIndex, r);
    setItem(r, 0, column);
    setItem(r, 1, new QTableWidgetItem(QString::fromStdString(row.name)));
    setItem(r, 2, figure(static_cast<double>(row.n)));
    setItem(r, 3, figure(row.mean));
    setItem(r, 4, figure(row.sd));
    setItem(r, 5, figure(row.mode));
    setItem(r, 6, figure(row.hpdiLow));
    setItem(r, 7, figure(row.hpdiHigh));
    const ConvergenceDiagnostics& d = row.diagnostics;
    QTableWidgetItem* cells[] = {figure(d.essBulk, -1), figure(d.essTail, -1), figure(d.rhat, 4),
                                 figure(d.mcseMean, 3)};
    for (int c = 0; c < 4; ++c) setItem(r, 8 + c, cells[c]);
    const ConvergenceMarks marks = convergenceMarks(d, chains);
    mark(cells[0], marks.essBulk);
    mark(cells[1], marks.essTail);
    mark(cells[2], marks.rhat);
  }
  setSortingEnabled(true);
  resizeColumnsToContents();
}

int DiagnosticsTable::summaryIndexOf(int row) const {
  const QTableWidgetItem* first = item(row, 0);
  return first ? first->data(kSummaryIndex).toInt() : -1;
}

std::vector<int> DiagnosticsTable::selectedSummaryIndexes() const {
  std::vector<int> out;
  for (int r = 0; r < rowCount(); ++r)
    if (selectionModel()->isRowSelected(r, QModelIndex())) out.push_back(summaryIndexOf(r));
  return out;
}

void DiagnosticsTable::keyPressEvent(QKeyEvent* event) {
  // the view's own copy takes one cell; a row of figures is what a user pastes elsewhere
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

}  // namespace varno
