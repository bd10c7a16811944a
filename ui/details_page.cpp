// The Details page: statistics of the chosen column and the main chart.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <qcustomplot.h>

#include "core/column_catalogue.h"
#include "stats/column_sample.h"
#include "stats/column_statistics.h"
#include "stats/default_bandwidth.h"
#include "stats/edit_limits.h"
#include "stats/histogram.h"
#include "stats/number_format.h"
#include "stats/running_mean.h"
#include "stats/statistics_texts.h"
#include "ui/chart_setup.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"

namespace varno {

namespace {

QVector<QCPGraphData> points(std::span<const double> xs, std::span<const double> ys) {
  QVector<QCPGraphData> data(static_cast<qsizetype>(ys.size()));
  for (std::size_t i = 0; i < ys.size(); ++i) data[i] = QCPGraphData(xs.empty() ? i : xs[i], ys[i]);
  return data;
}

}  // namespace

void TForm3::PlotColumn(int column) {
  // an invalid data range text recomputes nothing: the edit is marked and the last results stay
  const auto rows = retainedRowRange();
  if (!rows) return;
  state.sampleCount = 0;
  state.sampleSumSquares = 0;
  Serie->data()->clear();
  histogram->data()->clear();
  if (!state.table) {
    Chart1->replot();
    return;
  }
  const int modelColumn = state.kind() == FileKind::fst ? state.populationCount + 3 : -1;
  const std::vector<double> sample =
      gatherColumnSample(*state.table, column - 1, *rows, state.modelFilter, modelColumn);
  plottedRange_ = rows;
  state.sampleCount = static_cast<int>(sample.size());
  if (sample.size() <= 1) {
    Chart1->replot();
    return;
  }

  const double bandwidth = bandwidthOfPosition(lambda_dens->position());
  const ColumnStatistics statistics =
      computeColumnStatistics(sample, Cpc->position(), bandwidth, density->isChecked());
  state.sampleSumSquares = statistics.sumSquares;
  const StatisticsTexts texts = statisticsTexts(statistics);
  min->setText(QString::fromStdString(texts.min));
  max->setText(QString::fromStdString(texts.max));
  m->setText(QString::fromStdString(texts.mean));
  var_edit->setText(QString::fromStdString(texts.variance));
  HPDI->setText(QString::fromStdString(texts.hpdi));
  width->setText(QString::fromStdString(texts.width));
  accuracy->setText(QString::fromStdString(texts.accuracy));
  mode->setText(QString::fromStdString(texts.mode));
  Vlambda->setText(QString::fromStdString(texts.lambda));

  const bool bars = histo->isChecked();
  Serie->setVisible(!bars);
  histogram->setVisible(bars);
  if (normal->isChecked()) {
    Serie->data()->set(points({}, sample), true);
  } else if (mean->isChecked()) {
    Serie->data()->set(points({}, runningMean(sample)), true);
  } else if (histo->isChecked()) {
    const Histogram h = histogramOf(sample, statistics.min, statistics.max, nb_histo->position());
    QVector<double> keys, values;
    for (const auto& [x, height] : histogramBars(h)) {
      keys << x;
      values << height;
    }
    // bars are as wide as their class, centred on its lower edge; a single class gets a visible width
    const double barWidth =
        h.classWidth > 0 ? h.classWidth : (statistics.min == 0 ? 1.0 : std::abs(statistics.min) * 0.1);
    histogram->setWidth(barWidth);
    histogram->setData(keys, values, true);
  } else if (density->isChecked()) {
    Serie->data()->set(points(statistics.gridX, statistics.density), true);
  }
  fitAxesToData(Chart1);
  Chart1->replot();
}

void TForm3::ReplotCurrentColumn() {
  if (state.dataExtension != ".frq") {
    PlotColumn(xi->currentIndex() + 1);
  } else {
    AlleleChange();
  }
}

void TForm3::SetDefaultBandwidth() {
  if (const auto position = defaultBandwidthPosition(state.sampleCount, state.sampleSumSquares))
    lambda_dens->setPosition(*position);
}

void TForm3::xiChange() {
  PlotColumn(xi->currentIndex() + 1);
  SetDefaultBandwidth();
}

void TForm3::LocusChange() {
  Allele->clear();
  for (const std::string& entry : alleleEntries(state.alleleCounts, Locus->currentIndex()))
    Allele->addItem(QString::fromStdString(entry));
  Allele->setCurrentIndex(Allele->count() > 0 ? 0 : -1);
  AlleleChange();
}

void TForm3::AlleleChange() {
  const int column = frqColumn(state.alleleCounts, Locus->currentIndex(), Allele->currentIndex());
  if (column > 0) PlotColumn(column);
}

void TForm3::normalClick() {
  nb_histo->setEnabled(false);
  ReplotCurrentColumn();
}

void TForm3::meanClick() {
  nb_histo->setEnabled(false);
  ReplotCurrentColumn();
}

void TForm3::densityClick() {
  nb_histo->setEnabled(false);
  ReplotCurrentColumn();
}

void TForm3::histoClick() {
  nb_histo->setEnabled(true);
  ReplotCurrentColumn();
}

void TForm3::nb_histo2Change() {
  const LimitedEditOutcome outcome = classCountTextChanged(nb_histo2->text().toStdString());
  if (outcome.rewriteText) {
    nb_histo2->setText(QString::fromStdString(*outcome.rewriteText));  // runs this handler again
    return;
  }
  nb_histo->setPosition(outcome.spinnerPosition);
  ReplotCurrentColumn();
}

void TForm3::Cpc2Change() {
  const LimitedEditOutcome outcome = levelTextChanged(Cpc2->text().toStdString());
  if (outcome.rewriteText) {
    Cpc2->setText(QString::fromStdString(*outcome.rewriteText));  // runs this handler again
    return;
  }
  Cpc->setPosition(outcome.spinnerPosition);
  ReplotCurrentColumn();
}

void TForm3::lambda_densChange() {
  Vlambda->setText(
      QString::fromStdString(generalFormat(bandwidthOfPosition(lambda_dens->position()), 6)));
  ReplotCurrentColumn();
}

void TForm3::lambda_defaultClick() { SetDefaultBandwidth(); }

}  // namespace varno
