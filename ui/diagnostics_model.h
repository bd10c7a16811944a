// The rows of the Diagnostics page as a table model: sorted by any figure, filtered by name and by
// the target, and for frq files grouped by locus under a line naming the locus. It sorts and
// filters its own index of the rows: tens of thousands of rows compared through QVariant (as a
// generic proxy does) would hold the window up for longer than a click may take.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <memory>
#include <optional>
#include <vector>

#include "report/convergence_target.h"
#include "ui/diagnostics_contents.h"

namespace varno {

class DiagnosticsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // `evaluation`: the convergence target over the contents' rows (none: nothing is marked).
  void setContents(std::shared_ptr<const DiagnosticsContents> contents,
                   std::shared_ptr<const TargetEvaluation> evaluation = {});
  // A target changed: its misses are marked, and the toggle keeps them, without sorting anew.
  void setTargetEvaluation(std::shared_ptr<const TargetEvaluation> evaluation);
  void clear();
  const DiagnosticsContents* contents() const { return contents_.get(); }

  // Rows whose name holds `text` (any case), or whose column number it is; empty: every row.
  void setNameFilter(const QString& text);
  // Only the rows of columns that miss the target.
  void setOnlyMissingTarget(bool only);
  // frq files: the rows of a locus together under a line naming it, the loci in the order of
  // their first row in the sort.
  void setGroupedByLocus(bool grouped);
  // Means and HPDI limits written to the digits their Monte Carlo errors support.
  void setRoundedToMcse(bool rounded);

  // The index into the contents' rows of the table row `row`; -1 for a locus line.
  int summaryIndexAt(int row) const;
  // The table row that shows summary row `index`; -1 when it is filtered out.
  int rowOfSummaryIndex(int index) const;
  // Rows the filters leave of all the rows, locus lines not counted.
  int shownSummaryRows() const { return shownRows_; }

  static QColor markColour();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  // Entries of the shown order: a summary row index, or a locus line as -(locus + 2).
  std::vector<int> shownOrder(int* summaryRows) const;
  void rebuild();
  std::vector<int> sortedFilteredRows() const;
  bool passes(std::size_t row) const;
  void indexMisses();
  // the miss of the target of contents row `row`; none where it meets it or does not count
  const TargetMiss* missOf(std::size_t row) const;

  std::shared_ptr<const DiagnosticsContents> contents_;
  std::shared_ptr<const TargetEvaluation> evaluation_;
  std::vector<int> missAt_;  // per contents row, its entry in evaluation_->misses or -1
  std::vector<int> shown_;
  int shownRows_ = 0;
  QString filter_;
  std::optional<long long> filterNumber_;
  bool onlyMissing_ = false;
  bool grouped_ = false;
  bool rounded_ = false;
  int sortColumn_ = 0;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace varno
