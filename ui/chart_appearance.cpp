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
#include "ui/plotwin2.h"

namespace varno {

namespace {

// Cross size of the main line's markers when they are shown.
constexpr double kSerieMarkerSize = 6;

std::array<QCustomPlot*, 5> allCharts(const TForm3& f) {
  return {f.Chart1, f.G1_graph, f.G2_graph, f.Chart4, f.Chart3};
}

QPen recoloured(QPen pen, const QColor& colour) {
  pen.setColor(colour);
  return pen;
}

// Recolours the data series in place: their points and their other settings are kept, so the
// colour holds through every clear-and-refill. The interval chart keeps its own colours.
void applySeriesColour(TForm3& f, QAction* item, const QColor& colour) {
  item->setChecked(true);

  f.Serie->setPen(recoloured(f.Serie->pen(), colour));
  QCPScatterStyle marks = f.Serie->scatterStyle();
  if (marks.isPenDefined()) {  // an own marker pen would otherwise keep the old colour
    marks.setPen(recoloured(marks.pen(), colour));
    f.Serie->setScatterStyle(marks);
  }
  f.histogram->setPen(recoloured(f.histogram->pen(), colour));  // the fill stays white
  f.model->setPen(recoloured(f.model->pen(), colour));
  f.model->setBrush(colour);

  for (QCPGraph* points : {f.G1_serie, f.G2_serie}) {
    points->setPen(recoloured(points->pen(), colour));
    QCPScatterStyle style = points->scatterStyle();
    style.setPen(recoloured(style.pen(), colour));
    if (style.brush().style() != Qt::NoBrush) style.setBrush(colour);
    points->setScatterStyle(style);
  }

  for (QCustomPlot* chart : {f.Chart1, f.Chart3, f.G1_graph, f.G2_graph}) chart->replot();
}

void applyBackground(TForm3& f, QAction* item, const QColor& colour) {
  item->setChecked(true);
  for (QCustomPlot* chart : allCharts(f)) {
    setChartBackground(chart, colour);
    for (QCPAxisRect* rect : chart->axisRects()) {
      // a plot area painted on its own would hide the chart's colour
      if (rect->backgroundBrush().style() != Qt::NoBrush) rect->setBackground(QBrush(colour));
    }
    chart->replot();
  }
}

void applyGrid(TForm3& f, QAction* item, bool visible) {
  item->setChecked(true);
  for (QCustomPlot* chart : allCharts(f)) {
    chart->xAxis->grid()->setVisible(visible);
    chart->yAxis->grid()->setVisible(visible);
    chart->replot();
  }
}

void applyStyle(TForm3& f, QAction* item, bool line, bool markers) {
  item->setChecked(true);
  f.Serie->setLineStyle(line ? QCPGraph::lsLine : QCPGraph::lsNone);
  // no pen of their own: the crosses take the line's colour, whatever it becomes later
  f.Serie->setScatterStyle(markers ? QCPScatterStyle(QCPScatterStyle::ssCross, kSerieMarkerSize)
                                   : QCPScatterStyle(QCPScatterStyle::ssNone));
  // thinning a long trace for its markers drops points, the extremes on the axis edges first:
  // every point gets its cross, while a bare line keeps the faster drawing
  f.Serie->setAdaptiveSampling(!markers);
  f.Chart1->replot();
}

}  // namespace

void TForm3::FormResize() {
  // W and H as an outer size whose frame, menu and status bar take 8 and 54 pixels: the page
  // control then fills the client area, with or without a window manager's frame around it
  const QSize client = centralWidget() ? centralWidget()->size() : size();
  const int w = client.width() + 8;
  const int h = client.height() + 54;
  Chart1->resize(std::max(0, w - 55), std::max(0, h - 285));
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

void TForm3::Line_RedClick() { applySeriesColour(*this, Line_Red, QColor(255, 0, 0)); }
void TForm3::Line_BlackClick() { applySeriesColour(*this, Line_Black, QColor(0, 0, 0)); }
void TForm3::Line_BlueClick() { applySeriesColour(*this, Line_Blue, QColor(0, 0, 255)); }
void TForm3::Line_GreenClick() { applySeriesColour(*this, Line_Green, QColor(0, 128, 0)); }
void TForm3::Line_GrayClick() { applySeriesColour(*this, Line_Gray, QColor(128, 128, 128)); }
void TForm3::Line_WhiteClick() { applySeriesColour(*this, Line_White, QColor(255, 255, 255)); }

void TForm3::Back_GreyClick() {
  applyBackground(*this, Back_Grey, QApplication::palette().color(QPalette::Window));
}
void TForm3::Back_WhiteClick() { applyBackground(*this, Back_White, QColor(255, 255, 255)); }

void TForm3::Grid_OnClick() { applyGrid(*this, Grid_On, true); }
void TForm3::Grid_OffClick() { applyGrid(*this, Grid_Off, false); }

void TForm3::LinesClick() { applyStyle(*this, Lines, true, false); }
void TForm3::PointsClick() { applyStyle(*this, Points, false, true); }
void TForm3::BothClick() { applyStyle(*this, Both, true, true); }

}  // namespace varno
