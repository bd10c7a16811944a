// The Summary page's charts of Fst against the factors.
#include <QComboBox>
#include <qcustomplot.h>

#include "stats/factor_plot.h"
#include "charts/window_charts.h"
#include "ui/summary_page.h"

namespace varno {

void SummaryPage::PlotFstAgainstFactors() {
  G1_serie->data()->clear();
  G2_serie->data()->clear();
  const bool logit = host_.fstOnLogitScale();
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

void SummaryPage::Combo_G1Change() { PlotFstAgainstFactors(); }

void SummaryPage::Combo_G2Change() { PlotFstAgainstFactors(); }

void SummaryPage::clearFactorDisplay() {
  Combo_G1->clear();
  Combo_G2->clear();
  clearFactorChart(FactorChart{G1_graph, G1_serie}, 1);
  clearFactorChart(FactorChart{G2_graph, G2_serie}, 2);
}


}  // namespace varno
