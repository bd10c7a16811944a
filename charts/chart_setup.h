// Designed settings shared by the window's charts.
#pragma once

#include <QColor>
#include <QString>

class QCPAbstractPlottable;
class QCustomPlot;
class QWidget;

namespace varno {

// The window's font (8 points), which the charts' titles and axes take from their parent.
void useWindowFont(QWidget* widget);

// A chart with no legend, the window's colour as background, grids on both axes.
QCustomPlot* makeChart(const QString& name, QWidget* parent);

// Left mouse drags a rubber band that zooms; the middle button pans; a double click shows all.
void enableZoomAndPan(QCustomPlot* chart);

// Left axis numbers with thousands grouped by a blank and at most four decimals (more when the
// ticks need them to differ).
void useGroupedAxisNumbers(QCustomPlot* chart);

// The chart's background colour, kept where the series that must stand out from it can read it.
void setChartBackground(QCustomPlot* chart, const QColor& colour);
QColor chartBackground(const QCustomPlot* chart);

// Sets both axes to the range of the points shown (a small margin for a flat series), widened by
// `margin` of the range on each side so markers at the ends are not cut.
// A plottable marked as context widens the x axis only: the y axis fits the others.
void fitAxesToData(QCustomPlot* chart, double margin = 0);
void markAsContext(QCPAbstractPlottable* plottable);

}  // namespace varno
