// The Diagnostics page's charts of the spread of R-hat and ESS.
#include "ui/diagnostics_charts.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "charts/chart_setup.h"

namespace varno {

QCustomPlot* makeSpreadChart(const QString& name, const QString& title, QWidget* parent) {
  QCustomPlot* chart = makeChart(name, parent);
  chart->plotLayout()->insertRow(0);
  chart->plotLayout()->addElement(0, 0, new QCPTextElement(chart, title));
  auto* bars = new QCPBars(chart->xAxis, chart->yAxis);
  bars->setObjectName(name + "Bars");
  bars->setPen(QPen(QColor(60, 90, 160)));
  bars->setBrush(QColor(120, 150, 210));
  auto* target = new QCPItemStraightLine(chart);
  target->setObjectName(name + "Target");
  target->setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
  target->setVisible(false);
  chart->yAxis->setLabel("columns");
  // the chart is narrow: figures like 1.0025 need room, three ticks leave each its own
  chart->xAxis->ticker()->setTickCount(3);
  chart->setMinimumHeight(150);
  return chart;
}

void showSpread(QCustomPlot* chart, const Histogram& spread, int count, double target) {
  auto* bars = static_cast<QCPBars*>(chart->plottable(0));
  auto* line = static_cast<QCPItemStraightLine*>(chart->item(0));
  // no figures, no chart: empty axes would read as a spread of nothing
  const bool shown = !spread.counts.empty() && count > 0;
  chart->setVisible(shown);
  if (!shown) {
    bars->data()->clear();
    line->setVisible(false);
    return;
  }
  QVector<double> keys, heights;
  for (const auto& [edge, height] : histogramBars(spread)) {
    keys << edge;
    heights << height;
  }
  // a bar from its class's lower edge over the class's width; one class of a figure without spread
  // gets a visible width
  const double width = spread.classWidth > 0 ? spread.classWidth : std::max(1e-3, std::abs(spread.min) * 1e-3);
  bars->setWidth(width);
  bars->setWidthType(QCPBars::wtPlotCoords);
  for (double& key : keys) key += width / 2;
  bars->setData(keys, heights, true);
  const double low = spread.min, high = keys.back() + width / 2;
  const double margin = (high - low) * 0.05;
  chart->xAxis->setRange(std::min(low, target) - margin, std::max(high, target) + margin);
  const double tallest = *std::max_element(heights.begin(), heights.end());
  chart->yAxis->setRange(0, tallest * 1.1);
  // columns are counted whole: no more ticks than whole counts, so none falls between two
  chart->yAxis->ticker()->setTickCount(std::clamp(static_cast<int>(std::ceil(tallest)), 1, 5));
  line->point1->setCoords(target, 0);
  line->point2->setCoords(target, 1);
  line->setVisible(true);
  chart->replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace varno
