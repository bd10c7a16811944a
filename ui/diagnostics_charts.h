// The Diagnostics page's two small charts: how R-hat and the bulk ESS spread over all the columns,
// with the target of each. Among tens of thousands of converged columns some miss R-hat 1.01 by
// chance: the shape of the spread tells that from a run that has not converged.
#pragma once

#include <QString>

#include "stats/histogram.h"

class QCustomPlot;
class QWidget;

namespace varno {

QCustomPlot* makeSpreadChart(const QString& name, const QString& title, QWidget* parent);

// The classes as bars, the target as a dashed line; `count` figures in all. An empty histogram
// empties the chart.
void showSpread(QCustomPlot* chart, const Histogram& spread, int count, double target);

}  // namespace varno
