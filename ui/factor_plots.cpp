// The Summary page's charts of Fst against the factors.
#include <QAction>
#include <QComboBox>
#include <qcustomplot.h>

#include "stats/factor_plot.h"
#include "charts/window_charts.h"
#include "ui/plotwin2.h"

namespace varno {

void TForm3::PlotFstAgainstFactors() {
  G1_serie->data()->clear();
  G2_serie->data()->clear();
  const bool logit = logFst->isChecked();
  const int g1 = Combo_G1->currentIndex();
  // with no factor chosen there is no value to plot against: the chart stays empty
  if (g1 >= 0) setChartTitle(G1_graph, QString::fromStdString(factorChartTitle(g1, state.hasInteraction)));
  // the mean Fst of a summary of other rows or factors is not plotted against these factors
  const std::vector<double> noMeans;
  const std::vector<double>& means = summaryIsCurrent() ? state.fstSummary.mean : noMeans;
  if (g1 >= 0) {
    showFactorPoints(FactorChart{G1_graph, G1_serie}, factorPlotPoints(means, state.factorValues, g1, logit));
  } else {
    showFactorPoints(FactorChart{G1_graph, G1_serie}, {});
  }
  if (state.factorCount > 1) {
    const int g2 = Combo_G2->currentIndex();
    if (g2 >= 0) setChartTitle(G2_graph, QString::fromStdString(factorChartTitle(g2, state.hasInteraction)));
    showFactorPoints(FactorChart{G2_graph, G2_serie}, factorPlotPoints(means, state.factorValues, g2, logit));
  } else {
    showFactorPoints(FactorChart{G2_graph, G2_serie}, {});  // the empty axes; its title stays
  }
}

void TForm3::logFstClick() {
  const bool logit = !logFst->isChecked();
  logFst->setChecked(logit);
  const QString title = factorValueAxisName(logit);
  G1_graph->yAxis->setLabel(title);
  G2_graph->yAxis->setLabel(title);
  PlotFstAgainstFactors();
}

void TForm3::Combo_G1Change() { PlotFstAgainstFactors(); }

void TForm3::Combo_G2Change() { PlotFstAgainstFactors(); }

}  // namespace varno
