// The Details page: statistics of the chosen column and the main chart.
#include <QAction>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <qcustomplot.h>

#include "core/column_catalogue.h"
#include "stats/column_sample.h"
#include "stats/column_statistics.h"
#include "stats/convergence_marks.h"
#include "stats/default_bandwidth.h"
#include "stats/edit_limits.h"
#include "stats/histogram.h"
#include "stats/number_format.h"
#include "stats/running_mean.h"
#include "stats/statistics_texts.h"
#include "charts/window_charts.h"
#include "ui/job_runner.h"
#include "stats/text_numbers.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"

namespace varno {

void TForm3::PlotColumn(int column) { requestColumnFigures(column, false); }

void TForm3::requestColumnFigures(int column, bool defaultBandwidth) {
  // an invalid data range text recomputes nothing: the edit is marked and the last results stay,
  // shown as no longer current
  const auto rows = retainedRowRange();
  if (!rows) {
    showFiguresUpdating(true);
    return;
  }
  if (!state.table) {
    clearColumnFigures();
    return;
  }
  // a replot of the column whose default bandwidth is still being found keeps asking for it: the
  // track bar does not hold that bandwidth yet
  if (!defaultBandwidth && figuresWanted_ && !figuresWanted_->bandwidthPosition &&
      figuresWanted_->column == column && figuresWanted_->table == state.table)
    defaultBandwidth = true;
  ColumnFiguresInput input;
  input.table = state.table;
  input.column = column;
  input.rows = *rows;
  if (burnRange_.valid()) input.chains = retainedChains(*burnRange_.burnIn, *burnRange_.burnOut);
  input.modelFilter = state.modelFilter;
  input.modelColumn = state.kind() == FileKind::fst ? state.populationCount + 3 : -1;
  input.layout = {state.kind(), state.populationCount, state.factorCount, state.hasInteraction};
  input.levelPercent = Cpc->position();
  if (!defaultBandwidth) input.bandwidthPosition = lambda_dens->position();
  input.keptBandwidthPosition = lambda_dens->position();
  input.plotType = chosenPlotType();
  input.classCount = nb_histo->position();
  input.wholeColumn = input.plotType == PlotType::trace && showBurnIn->isChecked();
  if (figuresWanted_) {
    ColumnFiguresInput asked = input;
    asked.diagnose = figuresWanted_->diagnose;  // where the diagnostics come from changes no figure
    if (*figuresWanted_ == asked) return;       // asked for already
  }
  std::shared_ptr<const SampleDiagnostics> known;
  if (sampleDiagnostics_) {
    ColumnFiguresInput sample = sampleDiagnostics_->sample;
    sample.table = sampleDiagnostics_->table.lock();
    if (sample.table && sameSample(sample, input)) known = sampleDiagnostics_;
  }
  // the diagnostics come with the figures only when known already; otherwise their own job follows
  input.diagnose = false;
  dropPassingStatus();
  figuresWanted_ = input;
  showFiguresUpdating(true);

  JobRunner::Job job;
  job.title = "Computing the statistics";
  job.work = [this, input, known](JobControl&) -> JobRunner::Apply {
    auto figures = std::make_shared<ColumnFigures>(computeColumnFigures(input));
    if (known) {
      figures->diagnostics = known->diagnostics;
      figures->chainsNote = known->chainsNote;
    }
    auto line = std::make_shared<const ColumnLine>(columnLineData(*figures));
    auto chainLines = std::make_shared<std::vector<ColumnLine>>();
    for (std::size_t c = 0; c < figures->chainY.size(); ++c)
      chainLines->push_back(columnLineData(figures->chainX[c], figures->chainY[c]));
    auto chainsOutside = std::make_shared<std::vector<ColumnLine>>();
    for (std::size_t c = 0; c < figures->chainOutsideY.size(); ++c)
      chainsOutside->push_back(columnLineData(figures->chainOutsideX[c], figures->chainOutsideY[c]));
    auto outside = std::make_shared<const ColumnLine>(
        figures->bars ? ColumnLine{} : columnLineData(figures->outsideX, figures->outsideY));
    if (!figures->bars) {
      // the points live on in the lines: their memory is given back here, not on the window's thread
      for (auto* v : {&figures->x, &figures->y, &figures->outsideX, &figures->outsideY}) std::vector<double>().swap(*v);
    }
    return [this, input, figures, line, outside, chainLines, chainsOutside, diagnosed = static_cast<bool>(known)] {
      const bool shown = applyColumnFigures(input, *figures);
      if (shown && !diagnosed && figures->sampleCount > 1) requestSampleDiagnostics(input);
      if (shown && figures->sampleCount > 1 && !chainLines->empty()) {
        showChainLines(*chainLines, *chainsOutside);
      } else if (shown && figures->sampleCount > 1 && !figures->bars) {
        std::optional<QCPRange> contextKeys;
        if (figures->tableRows > 0 && outside->data && !outside->data->isEmpty()) {
          // the rows outside the sample, in the series' style: they widen the x axis only
          burnSerie->setData(outside->data);
          burnSerie->setLineStyle(Serie->lineStyle());
          QCPScatterStyle marks = Serie->scatterStyle();
          if (marks.isPenDefined()) marks.setPen(burnSerie->pen());
          burnSerie->setScatterStyle(marks);
          burnSerie->setVisible(true);
          contextKeys = outside->keys;
        }
        showColumnLine(MainChart{Chart1, Serie, histogram}, *line, contextKeys);
      }
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("The statistics cannot be computed: " + QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::figures, std::move(job));
}

void TForm3::requestSampleDiagnostics(const ColumnFiguresInput& input) {
  JobRunner::Job job;
  job.title = "Computing the convergence diagnostics";
  job.work = [this, input](JobControl&) -> JobRunner::Apply {
    auto note = std::make_shared<std::string>();
    auto diagnostics =
        std::make_shared<const std::optional<ConvergenceDiagnostics>>(sampleDiagnostics(input, *note));
    return [this, input, diagnostics, note] {
      ColumnFiguresInput sample = input;
      sample.table.reset();
      sampleDiagnostics_ =
          std::make_shared<const SampleDiagnostics>(SampleDiagnostics{input.table, sample, *diagnostics, *note});
      // shown only under the figures of this very sample
      if (figuresShown_ && figuresShown_ == figuresWanted_ && sameSample(*figuresShown_, input)) {
        convergence->setText(convergenceText(*diagnostics, *note));
        convergence->setToolTip(convergence->text());  // the whole line where the box is narrow
      }
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("The convergence diagnostics cannot be computed: " + QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::diagnostics, std::move(job));
}

QString TForm3::convergenceText(const std::optional<ConvergenceDiagnostics>& diagnostics,
                                const std::string& chainsNote) const {
  QString text = diagnostics ? QString::fromStdString(convergenceLine(*diagnostics)) : QString();
  if (!chainsNote.empty()) text += (text.isEmpty() ? "" : "; ") + QString::fromStdString(chainsNote);
  return text;
}

void TForm3::showChainLines(const std::vector<ColumnLine>& lines, const std::vector<ColumnLine>& outside) {
  if (!lines.empty()) burnSerie->setVisible(false);
  chainSeries_ =
      varno::showChainLines(MainChart{Chart1, Serie, histogram}, lines, state.chainFileNames(), chainSeries_, outside);
}

void TForm3::clearColumnFigures() {
  showChainLines({});
  figuresShown_.reset();
  figuresWanted_.reset();
  state.sampleCount = 0;
  state.sampleSumSquares = 0;
  for (QLineEdit* e : {min, max, m, var_edit, HPDI, width, accuracy, mode}) e->clear();
  convergence->clear();
  showBandwidthNote({});
  showFiguresUpdating(false);
  Serie->data()->clear();
  burnSerie->data()->clear();
  histogram->data()->clear();
  Chart1->replot();
}

bool TForm3::applyColumnFigures(const ColumnFiguresInput& input, const ColumnFigures& figures) {
  // a newer request supersedes this result: its figures would describe other inputs
  if (!figuresWanted_ || !(*figuresWanted_ == input)) return false;
  figuresShown_ = input;
  showFiguresUpdating(false);
  state.sampleCount = figures.sampleCount;
  state.sampleSumSquares = figures.sumSquares;
  if (!input.bandwidthPosition && figures.sampleCount > 1) {
    // the default bandwidth was chosen with the figures: the track bar shows it, and the request
    // it would make is the one just answered
    ColumnFiguresInput shown = input;
    shown.bandwidthPosition = figures.bandwidthPosition;
    shown.keptBandwidthPosition = figures.bandwidthPosition;
    figuresWanted_ = figuresShown_ = shown;
    lambda_dens->setPosition(figures.bandwidthPosition);
    Vlambda->setText(QString::fromStdString(figures.texts.lambda));
  }

  Serie->data()->clear();
  histogram->data()->clear();
  burnSerie->data()->clear();
  burnSerie->setVisible(false);
  const std::initializer_list<QLineEdit*> boxes = {min, max, m, var_edit, HPDI, width, accuracy, mode};
  showChainLines({});
  convergence->setText(figures.sampleCount > 1 ? convergenceText(figures.diagnostics, figures.chainsNote) : QString());
  convergence->setToolTip(convergence->text());
  if (figures.sampleCount <= 1) {
    // too few values for any figure: nothing of the previous column may stay
    for (QLineEdit* e : boxes) e->clear();
    showBandwidthNote({});
    Chart1->replot();
    return true;
  }
  showBandwidthNote(figures);
  const StatisticsTexts& texts = figures.texts;
  min->setText(QString::fromStdString(texts.min));
  max->setText(QString::fromStdString(texts.max));
  m->setText(QString::fromStdString(texts.mean));
  var_edit->setText(QString::fromStdString(texts.variance));
  HPDI->setText(QString::fromStdString(texts.hpdi));
  width->setText(QString::fromStdString(texts.width));
  accuracy->setText(QString::fromStdString(texts.accuracy));
  mode->setText(QString::fromStdString(texts.mode));
  Vlambda->setText(QString::fromStdString(texts.lambda));

  Serie->setVisible(!figures.bars);
  histogram->setVisible(figures.bars);
  if (figures.bars) showColumnBars(MainChart{Chart1, Serie, histogram}, figures);
  return true;
}

void TForm3::showBandwidthNote(const ColumnFigures& figures) {
  // the Diagnostics page gives every column the mode at its own default bandwidth: a bandwidth
  // moved by hand is said, so that the two modes are not taken for the same figure
  QString note;
  const auto preferred = defaultBandwidthPosition(figures.sampleCount, figures.sumSquares);
  if (preferred && *preferred != figures.bandwidthPosition)
    note = QString("Mode at Lambda = %1, the bandwidth set by hand; this sample's default, which the Diagnostics "
                   "page uses, is Lambda = %2")
               .arg(QString::fromStdString(generalFormat(bandwidthOfPosition(figures.bandwidthPosition), 6)),
                    QString::fromStdString(generalFormat(bandwidthOfPosition(*preferred), 6)));
  mode->setToolTip(note);
  bandwidthNote_ = note;
  Stats->setToolTip(note);
}

void TForm3::replotAtDefaultBandwidth() {
  if (state.dataExtension != ".frq") {
    requestColumnFigures(xi->currentIndex() + 1, true);
    return;
  }
  const int column = frqColumn(state.alleleCounts, Locus->currentIndex(), Allele->currentIndex());
  if (column > 0) requestColumnFigures(column, true);
}

void TForm3::showFiguresUpdating(bool updating) {
  // the last figures stay readable but grey until figures of the current inputs replace them
  const QColor text = updating ? QColor(150, 150, 150) : palette().color(QPalette::Text);
  for (QLineEdit* e : {min, max, m, var_edit, HPDI, width, accuracy, mode}) {
    QPalette p = e->palette();
    p.setColor(QPalette::Text, text);
    e->setPalette(p);
  }
  QPalette p = convergence->palette();
  p.setColor(QPalette::WindowText, updating ? text : palette().color(QPalette::WindowText));
  convergence->setPalette(p);
  Stats->setToolTip(updating ? "Updating: these figures describe the previous settings" : bandwidthNote_);
}

PlotType TForm3::chosenPlotType() const {
  return histo->isChecked()      ? PlotType::histogram
         : mean->isChecked()     ? PlotType::runningMean
         : density->isChecked()  ? PlotType::density
         : autocorr->isChecked() ? PlotType::autocorrelation
                                 : PlotType::trace;
}

void TForm3::ReplotCurrentColumn() {
  if (state.dataExtension != ".frq") {
    PlotColumn(xi->currentIndex() + 1);
  } else {
    AlleleChange();
  }
}

void TForm3::SetDefaultBandwidth() {
  // figures still being computed: the bandwidth comes with them, from the sample they use
  if (!figuresShown_ || !(figuresShown_ == figuresWanted_)) {
    if (figuresWanted_) requestColumnFigures(figuresWanted_->column, true);
    return;
  }
  if (const auto position = defaultBandwidthPosition(state.sampleCount, state.sampleSumSquares))
    lambda_dens->setPosition(*position);
}

void TForm3::xiChange() { requestColumnFigures(xi->currentIndex() + 1, true); }

void TForm3::LocusChange() {
  Allele->clear();
  for (const std::string& entry : alleleEntries(state.alleleCounts, Locus->currentIndex()))
    Allele->addItem(QString::fromStdString(entry));
  Allele->setCurrentIndex(Allele->count() > 0 ? 0 : -1);
  AlleleChange();
}

void TForm3::AlleleChange() {
  const int column = frqColumn(state.alleleCounts, Locus->currentIndex(), Allele->currentIndex());
  if (column > 0) {
    PlotColumn(column);
  } else {
    clearColumnFigures();  // a locus without alleles has no figures, least of all another's
  }
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

void TForm3::autocorrClick() {
  nb_histo->setEnabled(false);
  ReplotCurrentColumn();
}

void TForm3::showBurnInClick() { ReplotCurrentColumn(); }

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
