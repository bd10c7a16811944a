// The Diagnostics page's table.
#include "ui/diagnostics_table.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <algorithm>

namespace varno {

DiagnosticsTable::DiagnosticsTable(QWidget* parent) : QTableView(parent) {
  setModel(&model_);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(true);
  sortByColumn(0, Qt::AscendingOrder);
  setWordWrap(false);
  verticalHeader()->setVisible(false);
  // fixed heights: the view never measures tens of thousands of rows
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setStretchLastSection(true);
  fitColumnWidths();
}

void DiagnosticsTable::clearRows() { model_.clear(); }

void DiagnosticsTable::setRows(std::shared_ptr<const DiagnosticsContents> contents,
                               std::shared_ptr<const TargetEvaluation> evaluation) {
  model_.setContents(std::move(contents), std::move(evaluation));
  fitColumnWidths();
}

void DiagnosticsTable::fitColumnWidths() {
  // widths from the texts a column can hold, not from its rows: the same whatever their number
  const QFontMetrics metrics = fontMetrics();
  const int figure = metrics.horizontalAdvance(QStringLiteral("-0.00012345")) + 12;
  int name = metrics.horizontalAdvance(QStringLiteral("Locus 10000 allele 10")) + 12;
  if (const DiagnosticsContents* contents = model_.contents()) {
    // the longest names of the first rows, which set the style of the rest
    const std::size_t sample = std::min<std::size_t>(contents->names.size(), 200);
    for (std::size_t r = 0; r < sample; ++r)
      name = std::max(name, std::min(metrics.horizontalAdvance(contents->names[r]) + 12, 320));
  }
  for (int c = 0; c < model_.columnCount(); ++c) {
    const int header = metrics.horizontalAdvance(model_.headerData(c, Qt::Horizontal).toString()) + 28;
    setColumnWidth(c, std::max(header, c == 1 ? name : c == 0 || c == 2 ? header + 10 : figure));
  }
}

std::vector<int> DiagnosticsTable::selectedSummaryIndexes() const {
  // from the selection's ranges: asking row by row costs a search of the ranges for each
  std::vector<char> selected(static_cast<std::size_t>(model_.rowCount()), 0);
  for (const QItemSelectionRange& range : selectionModel()->selection())
    for (int row = range.top(); row <= range.bottom(); ++row) selected[static_cast<std::size_t>(row)] = 1;
  std::vector<int> out;
  for (std::size_t row = 0; row < selected.size(); ++row)
    if (selected[row])
      if (const int index = model_.summaryIndexAt(static_cast<int>(row)); index >= 0) out.push_back(index);
  return out;
}

void DiagnosticsTable::keyPressEvent(QKeyEvent* event) {
  // the view's own copy takes one cell; a row of figures is what a user pastes elsewhere
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace varno
