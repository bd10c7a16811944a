// The Summary page: the model summary, the model choosers, the page rule and the model help.
#include <QComboBox>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <qcustomplot.h>

#include "core/model_help.h"
#include "ui/chart_setup.h"
#include "ui/dialogs.h"
#include "ui/interval_series.h"
#include "ui/model_summary_run.h"
#include "ui/plotwin2.h"

namespace varno {

bool TForm3::isSummarizing() const { return summarizing_; }

void TForm3::waitForSummary() {
  // a summary running further up this thread's stack finishes when control returns to it; a
  // load started meanwhile is refused by the open commands, so nothing needs to wait here
}

void TForm3::ComputeModelSummary() {
  if (summarizing_) {
    // a new choice while a summary runs: the running one restarts with it
    summaryRestart_ = true;
    if (summaryRun_) summaryRun_->cancel();
    return;
  }
  if (!state.table || state.kind() != FileKind::fst) return;
  summarizing_ = true;
  do {
    summaryRestart_ = false;
    QString problem;
    const auto rows = retainedRowRange(&problem);
    if (!rows) {
      summarizing_ = false;
      reportError("The summary cannot be computed: " + problem);
      return;
    }
    ModelSummaryInput input;
    input.table = state.table;
    summaryTable_ = state.table;
    input.populationCount = state.populationCount;
    input.factorCount = state.factorCount;
    input.hasInteraction = state.hasInteraction;
    input.rows = *rows;
    input.modelFilter = state.modelFilter;
    input.fstSummary = state.fstSummary;
    input.coefficientSummary = state.coefficientSummary;
    input.sigmaSummary = state.sigmaSummary;

    model->data()->clear();
    hpdis->clear();
    mModel->hide();
    progress->setValue(0);
    Chart3->replot();
    Chart4->replot();

    QEventLoop loop;
    QTimer gauge;
    summaryRun_ = std::make_unique<ModelSummaryRun>(std::move(input), [&loop] {
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    connect(&gauge, &QTimer::timeout, this, [this] { progress->setValue(summaryRun_->percent()); });
    gauge.start(50);
    if (!summaryRun_->done()) loop.exec();  // the window stays responsive meanwhile
    gauge.stop();
    const ModelSummaryResult result = summaryRun_->result();
    summaryRun_.reset();
    if (summaryRestart_ && !closeRequested_) continue;
    if (!result.error.empty()) {
      reportError(QString("The summary of \"%1\" cannot be computed: %2")
                      .arg(QString::fromStdString(state.dataFileName),
                           QString::fromStdString(result.error)));
    } else if (!result.cancelled) {
      applyModelSummary(result);
    }
  } while (summaryRestart_ && !closeRequested_);
  summarizing_ = false;
  mModel->show();
  if (closeRequested_) QTimer::singleShot(0, this, &QWidget::close);
}

void TForm3::applyModelSummary(const ModelSummaryResult& result) {
  state.modelProbabilities = result.modelProbabilities;
  state.bestModel = result.bestModel;
  state.coefficientSummary = result.coefficientSummary;
  state.sigmaSummary = result.sigmaSummary;
  state.fstSummary = result.fstSummary;
  summarizedTable_ = summaryTable_;

  QVector<double> keys, heights;
  for (const ModelBar& bar : result.modelBars) {
    keys << bar.x;
    heights << bar.height;
  }
  model->setData(keys, heights, true);
  Chart3->xAxis->setRange(0.5, keys.size() + 0.5);
  Chart3->yAxis->setRange(0, 1.05);
  Chart3->replot();

  std::vector<IntervalSeries::Item> items;
  items.reserve(result.hpdis.size());
  for (const HpdiInterval& h : result.hpdis) {
    items.push_back({h.low, h.high, h.y, QString::fromStdString(h.label),
                     QColor(h.colour.red, h.colour.green, h.colour.blue)});
  }
  hpdis->setItems(std::move(items));
  fitAxesToData(Chart4, 0.03);
  // room on the right for the labels
  const QCPRange x = Chart4->xAxis->range();
  Chart4->xAxis->setRange(x.lower, x.upper + x.size() * 0.15);
  Chart4->yAxis->setRange(0, state.populationCount + 2);
  Chart4->replot();

  mModel->setPlainText(QString::fromStdString(result.memoLines[0] + "\n" + result.memoLines[1] +
                                              "\n" + result.memoLines[2]));
  progress->setValue(100);
}

bool TForm3::PagesChanging(int) { return state.dataExtension == ".fst"; }

void TForm3::modelChosen(QComboBox* chooser, QComboBox* twin) {
  // the open flow in progress sets the choosers back to "All" when it has read the factors: a
  // choice now would filter a summary the choosers no longer show
  if (inLoad_ || loading_) {
    chooser->setCurrentIndex(state.modelFilter);
    setStatus("Still reading the data file: choose the model when it is loaded.");
    return;
  }
  state.modelFilter = std::max(0, chooser->currentIndex());
  twin->setCurrentIndex(chooser->currentIndex());
  ReplotCurrentColumn();
  if (Pages->currentIndex() == 1) {
    ComputeModelSummary();
    PlotFstAgainstFactors();
  }
}

void TForm3::Model_onlyChange() { modelChosen(Model_only, Model_only2); }

void TForm3::Model_only2Change() { modelChosen(Model_only2, Model_only); }

void TForm3::model_helpClick() {
  dialogs_.inform(this, QString::fromStdString(modelHelpText(state.factorCount, state.hasInteraction)));
}

}  // namespace varno
