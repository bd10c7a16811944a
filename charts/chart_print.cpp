// Printing a chart on a page.
#include "charts/chart_print.h"

#include <QPrinter>
#include <algorithm>
#include <qcustomplot.h>

namespace varno {

bool printChart(QCustomPlot* chart, QPrinter& printer) {
  const QSize size = chart->size().isEmpty() ? QSize(609, 545) : chart->size();
  QCPPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setMode(QCPPainter::pmVectorized);
  painter.setMode(QCPPainter::pmNoCaching);
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  const double scale = std::min(page.width() / size.width(), page.height() / size.height());
  painter.scale(scale, scale);
  chart->toPainter(&painter, size.width(), size.height());
  painter.end();
  chart->replot();  // back to the layout of the screen
  return true;
}

}  // namespace varno
