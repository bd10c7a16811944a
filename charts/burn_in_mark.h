// A burn-in marked on the main chart: a vertical line at the row where it ends, with a tooltip
// under the mouse that says what it is. The suggested burn-in is dashed, the one set is solid.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "stats/column_figures.h"

class QCPItemStraightLine;
class QCustomPlot;

namespace varno {

class BurnInMark : public QObject {
 public:
  enum class Style { suggested, current };
  // The line (named `name`, hidden until shown) on `chart`, which owns it.
  BurnInMark(QCustomPlot* chart, const QString& name, Style style);

  // The line at x with its tooltip; nothing hides it. The chart is not redrawn.
  void show(std::optional<double> x, const QString& toolTip = {});
  std::optional<double> x() const;
  QString toolTip() const { return toolTip_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QCustomPlot* chart_;
  QCPItemStraightLine* line_;
  QString toolTip_;
};

// Where a burn-in of `rows` chain rows ends on the trace drawn for `input`: between the last row
// it drops and the first it keeps. The whole column's x are row numbers from 1; a sample's are its
// positions, from 0 for one chain and from 1 for several (as the trace draws them), counted in
// chain 1 under the model filter. Nothing when the rows end before the sample begins.
std::optional<double> burnInTraceX(const ColumnFiguresInput& input, long long rows);

}  // namespace varno
