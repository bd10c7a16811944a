// A burn-in marked on the main chart.
#include "charts/burn_in_mark.h"

#include <QHelpEvent>
#include <QToolTip>
#include <cmath>
#include <qcustomplot.h>

namespace varno {

namespace {

// how near the mouse must come to the line, in pixels, for its tooltip
constexpr double kToolTipReach = 4;

}  // namespace

BurnInMark::BurnInMark(QCustomPlot* chart, const QString& name, Style style)
    : QObject(chart), chart_(chart), line_(new QCPItemStraightLine(chart)) {
  setObjectName(name + "Tip");
  line_->setObjectName(name);
  QPen pen(style == Style::suggested ? QColor(20, 20, 20) : QColor(110, 110, 110), 1.5);
  pen.setStyle(style == Style::suggested ? Qt::DashLine : Qt::SolidLine);
  line_->setPen(pen);
  line_->setSelectable(false);
  line_->setVisible(false);
  chart->installEventFilter(this);
}

void BurnInMark::show(std::optional<double> x, const QString& toolTip) {
  toolTip_ = x ? toolTip : QString();
  line_->setVisible(x.has_value());
  if (!x) return;
  // a vertical line: two points of the same x, their y far apart in the axis' own units
  line_->point1->setType(QCPItemPosition::ptPlotCoords);
  line_->point2->setType(QCPItemPosition::ptPlotCoords);
  line_->point1->setCoords(*x, 0);
  line_->point2->setCoords(*x, 1);
}

std::optional<double> BurnInMark::x() const {
  if (!line_->visible()) return std::nullopt;
  return line_->point1->coords().x();
}

bool BurnInMark::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !line_->visible() || toolTip_.isEmpty()) return false;
  auto* help = static_cast<QHelpEvent*>(event);
  const double at = chart_->xAxis->coordToPixel(line_->point1->coords().x());
  if (!chart_->axisRect()->rect().contains(help->pos()) || std::abs(help->pos().x() - at) > kToolTipReach)
    return false;
  QToolTip::showText(help->globalPos(), toolTip_, chart_);
  return true;
}

std::optional<double> burnInTraceX(const ColumnFiguresInput& input, long long rows) {
  if (input.chains.empty() || !input.chains.front().table) return std::nullopt;
  if (input.wholeColumn) return static_cast<double>(rows) + 0.5;
  const ChainRows& chain = input.chains.front();
  if (rows < chain.rows.begin) return std::nullopt;
  // the sample's draws before the row: every retained row, or those of the filtered model
  const SampleTable& table = *chain.table;
  const long long end = std::min<long long>(rows, chain.rows.end);
  long long before = end - chain.rows.begin;
  const bool filtered =
      input.modelFilter != 0 && input.modelColumn >= 0 && input.modelColumn < table.columnCount();
  if (filtered) {
    const auto models = table.column(input.modelColumn);
    before = 0;
    for (long long r = chain.rows.begin; r < end; ++r)
      if (static_cast<double>(models[static_cast<std::size_t>(r)]) == input.modelFilter) ++before;
  }
  const double first = input.chains.size() > 1 ? 1 : 0;  // x of the sample's first draw
  return first + static_cast<double>(before) - 0.5;
}

}  // namespace varno
