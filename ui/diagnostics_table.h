// The Diagnostics page's table: one row per column of the data, sortable by any figure, marked
// where a diagnostic calls for a longer run; Ctrl+C asks for the selected rows as text.
#pragma once

#include <QTableWidget>
#include <vector>

#include "report/summary_table.h"

namespace varno {

class DiagnosticsTable : public QTableWidget {
  Q_OBJECT
 public:
  explicit DiagnosticsTable(QWidget* parent = nullptr);

  // Replaces the rows; `chains` sets the marking thresholds. Sorting is kept.
  void setRows(const std::vector<SummaryRow>& rows, int chains);
  void clearRows();
  // The index into the rows given to setRows of the table row shown at `row` (sorting moves them).
  int summaryIndexOf(int row) const;
  // The indexes of the selected rows, in the order shown.
  std::vector<int> selectedSummaryIndexes() const;

  // Background of a marked cell.
  static QColor markColour();

 signals:
  void copyRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace varno
