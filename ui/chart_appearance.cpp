// Chart appearance and window options: series colours, backgrounds, grids, line style, resizing,
// staying on top.
#include <QAction>
#include <QApplication>
#include <QPalette>
#include <QTabWidget>
#include <algorithm>
#include <array>
#include <qcustomplot.h>

#include "charts/chart_setup.h"
#include "charts/window_charts.h"
#include "ui/details_page.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"

namespace varno {

namespace {

// Cross size of the main line's markers when they are shown.
constexpr double kSerieMarkerSize = 6;

QPen recoloured(QPen pen, const QColor& colour) {
  pen.setColor(colour);
  return pen;
}

}  // namespace

std::array<QCustomPlot*, 5> TForm3::allCharts() const {
  return {details_->Chart1, summary_->G1_graph, summary_->G2_graph, summary_->Chart4, summary_->Chart3};
}

// Recolours the data series in place: their points and their other settings are kept, so the
// colour holds through every clear-and-refill. The interval chart keeps its own colours.
void TForm3::applySeriesColour(QAction* item, const QColor& colour) {
  item->setChecked(true);

  details_->Serie->setPen(recoloured(details_->Serie->pen(), colour));
  QCPScatterStyle marks = details_->Serie->scatterStyle();
  if (marks.isPenDefined()) {  // an own marker pen would otherwise keep the old colour
    marks.setPen(recoloured(marks.pen(), colour));
    details_->Serie->setScatterStyle(marks);
  }
  details_->histogram->setPen(recoloured(details_->histogram->pen(), colour));  // the fill stays white
  summary_->model->setPen(recoloured(summary_->model->pen(), colour));
  summary_->model->setBrush(colour);

  for (QCPGraph* points : {summary_->G1_serie, summary_->G2_serie}) {
    points->setPen(recoloured(points->pen(), colour));
    QCPScatterStyle style = points->scatterStyle();
    style.setPen(recoloured(style.pen(), colour));
    if (style.brush().style() != Qt::NoBrush) style.setBrush(colour);
    points->setScatterStyle(style);
  }

  for (QCustomPlot* chart : {details_->Chart1, summary_->Chart3, summary_->G1_graph, summary_->G2_graph}) chart->replot();
}

void TForm3::applyBackground(QAction* item, const QColor& colour) {
  item->setChecked(true);
  for (QCustomPlot* chart : allCharts()) {
    setChartBackground(chart, colour);
    for (QCPAxisRect* rect : chart->axisRects()) {
      // a plot area painted on its own would hide the chart's colour
      if (rect->backgroundBrush().style() != Qt::NoBrush) rect->setBackground(QBrush(colour));
    }
    chart->replot();
  }
}

void TForm3::applyGrid(QAction* item, bool visible) {
  item->setChecked(true);
  for (QCustomPlot* chart : allCharts()) {
    chart->xAxis->grid()->setVisible(visible);
    chart->yAxis->grid()->setVisible(visible);
    chart->replot();
  }
}

void TForm3::applyStyle(QAction* item, bool line, bool markers) {
  item->setChecked(true);
  details_->Serie->setLineStyle(line ? QCPGraph::lsLine : QCPGraph::lsNone);
  // no pen of their own: the crosses take the line's colour, whatever it becomes later
  details_->Serie->setScatterStyle(markers ? QCPScatterStyle(QCPScatterStyle::ssCross, kSerieMarkerSize)
                                 : QCPScatterStyle(QCPScatterStyle::ssNone));
  // thinning a long trace for its markers drops points, the extremes on the axis edges first:
  // every point gets its cross, while a bare line keeps the faster drawing
  details_->Serie->setAdaptiveSampling(!markers);
  details_->Chart1->replot();
}

void TForm3::FormResize() {
  // W and H as an outer size whose frame, menu and status bar take 8 and 54 pixels: the page
  // control then fills the client area, with or without a window manager's frame around it
  const QSize client = centralWidget() ? centralWidget()->size() : size();
  const int w = client.width() + 8;
  const int h = client.height() + 54;
  details_->Chart1->resize(std::max(0, w - 55), std::max(0, h - 285));
  Pages->resize(std::max(0, w - 8), std::max(0, h - 54));
}

void TForm3::AlwaysontopClick() {
  // The window's own flag tells the state: the menu has already flipped the check mark of a
  // checkable item before this runs, so the mark cannot be trusted here.
  const bool onTop = !windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  Alwaysontop->setChecked(onTop);
  const bool wasVisible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (wasVisible) show();  // changing the flags hides the window
}

void TForm3::Line_RedClick() { applySeriesColour(Line_Red, QColor(255, 0, 0)); }
void TForm3::Line_BlackClick() { applySeriesColour(Line_Black, QColor(0, 0, 0)); }
void TForm3::Line_BlueClick() { applySeriesColour(Line_Blue, QColor(0, 0, 255)); }
void TForm3::Line_GreenClick() { applySeriesColour(Line_Green, QColor(0, 128, 0)); }
void TForm3::Line_GrayClick() { applySeriesColour(Line_Gray, QColor(128, 128, 128)); }
void TForm3::Line_WhiteClick() { applySeriesColour(Line_White, QColor(255, 255, 255)); }

void TForm3::Back_GreyClick() {
  applyBackground(Back_Grey, QApplication::palette().color(QPalette::Window));
}
void TForm3::Back_WhiteClick() { applyBackground(Back_White, QColor(255, 255, 255)); }

void TForm3::Grid_OnClick() { applyGrid(Grid_On, true); }
void TForm3::Grid_OffClick() { applyGrid(Grid_Off, false); }

void TForm3::LinesClick() { applyStyle(Lines, true, false); }
void TForm3::PointsClick() { applyStyle(Points, false, true); }
void TForm3::BothClick() { applyStyle(Both, true, true); }

void TForm3::logFstClick() {
  const bool logit = !logFst->isChecked();
  logFst->setChecked(logit);
  const QString title = factorValueAxisName(logit);
  summary_->G1_graph->yAxis->setLabel(title);
  summary_->G2_graph->yAxis->setLabel(title);
  summary_->PlotFstAgainstFactors();
}

}  // namespace varno
