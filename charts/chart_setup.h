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

// A chart with no legend, the window's colour as background, grids on both axes, and one number
// style on all its axes.
QCustomPlot* makeChart(const QString& name, QWidget* parent);

// Left mouse drags a rubber band that zooms; the middle button pans; a double click shows all.
void enableZoomAndPan(QCustomPlot* chart);

// What a chart shows, in words: the title of its figures and of its printed page ("Fst HPDI by
// population"). A chart given none is named by its title, or else by its object name.
void setChartPurpose(QCustomPlot* chart, const QString& purpose);
QString chartPurpose(const QCustomPlot* chart);

// The chart's background colour, kept where the series that must stand out from it can read it.
void setChartBackground(QCustomPlot* chart, const QColor& colour);
QColor chartBackground(const QCustomPlot* chart);

// Sets both axes to the range of the points shown (a small margin for a flat series), widened by
// `margin` of the range on each side so markers at the ends are not cut; a chart with no points
// gets the empty axes it was made with.
// A plottable marked as context widens the x axis only: the y axis fits the others.
void fitAxesToData(QCustomPlot* chart, double margin = 0);
void markAsContext(QCPAbstractPlottable* plottable);

}  // namespace varno
