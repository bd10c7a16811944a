// The Summary page's charts of Fst against the factors.
#include <QAction>
#include <QComboBox>
#include <qcustomplot.h>

#include "stats/factor_plot.h"
#include "ui/chart_setup.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

void setTitle(QCustomPlot* chart, const std::string& title) {
  if (auto* t = chart->findChild<QCPTextElement*>(chart->objectName() + "_title"))
    t->setText(QString::fromStdString(title));
}

void plotPoints(QCustomPlot* chart, QCPGraph* series,
                const std::vector<std::pair<double, double>>& points) {
  QVector<double> x, y;
  for (const auto& [px, py] : points) {
    x << px;
    y << py;
  }
  series->setData(x, y);
  fitAxesToData(chart, 0.05);  // room for the markers at the ends
  chart->replot();
}

}  // namespace

void TForm3::PlotFstAgainstFactors() {
  G1_serie->data()->clear();
  G2_serie->data()->clear();
  const bool logit = logFst->isChecked();
  const int g1 = Combo_G1->currentIndex();
  // with no factor chosen there is no value to plot against: the chart stays empty
  if (g1 >= 0) setTitle(G1_graph, factorChartTitle(g1, state.hasInteraction));
  // the mean Fst of a summary of other rows or factors is not plotted against these factors
  const std::vector<double> noMeans;
  const std::vector<double>& means = summaryIsCurrent() ? state.fstSummary.mean : noMeans;
  plotPoints(G1_graph, G1_serie, factorPlotPoints(means, state.factorValues, g1, logit));
  if (state.factorCount > 1) {
    const int g2 = Combo_G2->currentIndex();
    if (g2 >= 0) setTitle(G2_graph, factorChartTitle(g2, state.hasInteraction));
    plotPoints(G2_graph, G2_serie,
               factorPlotPoints(means, state.factorValues, g2, logit));
  } else {
    G2_graph->replot();
  }
}

void TForm3::logFstClick() {
  const bool logit = !logFst->isChecked();
  logFst->setChecked(logit);
  const QString title = logit ? "ln(Fst/1-Fst)" : "Fst";
  G1_graph->yAxis->setLabel(title);
  G2_graph->yAxis->setLabel(title);
  PlotFstAgainstFactors();
}

void TForm3::Combo_G1Change() { PlotFstAgainstFactors(); }

void TForm3::Combo_G2Change() { PlotFstAgainstFactors(); }

}  // namespace varno
