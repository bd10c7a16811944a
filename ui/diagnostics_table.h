// The Diagnostics page's table: one row per column of the data, sortable by any figure, marked
// where a diagnostic calls for a longer run; Ctrl+C asks for the selected rows as text.
#pragma once

#include <QTableView>
#include <memory>
#include <vector>

#include "ui/diagnostics_model.h"

namespace varno {

class DiagnosticsTable : public QTableView {
  Q_OBJECT
 public:
  explicit DiagnosticsTable(QWidget* parent = nullptr);

  // Replaces the rows and the target's evaluation of them; the sort, filters and grouping are kept.
  void setRows(std::shared_ptr<const DiagnosticsContents> contents,
               std::shared_ptr<const TargetEvaluation> evaluation = {});
  void clearRows();
  DiagnosticsModel& rows() { return model_; }
  const DiagnosticsModel& rows() const { return model_; }
  // The index into the contents' rows of the table row shown at `row` (sorting moves them); -1
  // for a locus line.
  int summaryIndexOf(int row) const { return model_.summaryIndexAt(row); }
  // The indexes of the selected rows, in the order shown.
  std::vector<int> selectedSummaryIndexes() const;

  // Background of a marked cell.
  static QColor markColour() { return DiagnosticsModel::markColour(); }

 signals:
  void copyRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void fitColumnWidths();

  DiagnosticsModel model_;
};

}  // namespace varno
