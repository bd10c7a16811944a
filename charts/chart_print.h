// Printing a chart on a page.
#pragma once

class QCustomPlot;
class QPrinter;

namespace varno {

// Draws the chart as vectors, laid out at its size on screen and scaled to fill the printer's
// page while keeping its proportions. False when the printer cannot be painted on.
bool printChart(QCustomPlot* chart, QPrinter& printer);

}  // namespace varno
