// The Summary page: the model summary computed as a job, its charts, the charts of Fst against the
// factors and the model help.
#include "ui/summary_page.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <stdexcept>
#include <qcustomplot.h>

#include "core/model_help.h"
#include "stats/factor_plot.h"
#include "charts/window_charts.h"
#include "ui/chains_view.h"
#include "ui/dialogs.h"
#include "stats/data_range.h"
#include "stats/model_summary.h"
#include "report/best_model_lines.h"
#include "report/following_texts.h"
#include "charts/interval_series.h"
#include "ui/designed_controls.h"
#include "ui/job_runner.h"
#include "ui/summary_evidence.h"

namespace varno {

SummaryPage::SummaryPage(QWidget* page, PageHost& host, Dialogs& dialogs)
    : WindowPage(host),
      Summary(page),
      dialogs_(dialogs),
      job_(*jobs_, [this] { return currentSummaryInputs(); }, [this] { ComputeModelSummary(); }) {
  createSummaryPage();
  connect(Combo_G1, &QComboBox::activated, this, on([this] { Combo_G1Change(); }));
  connect(Combo_G2, &QComboBox::activated, this, on([this] { Combo_G2Change(); }));
  connect(model_help, &QPushButton::clicked, this, on([this] { model_helpClick(); }));
}

SummaryPage::~SummaryPage() = default;

void SummaryPage::connectHandlers() { chains_->connectHandlers(); }

void SummaryPage::createSummaryPage() {
  QWidget* page = Summary;
  LModel_choice = label("LModel_choice", "Model:", page, 4, 8);
  Model_only = dropDown("Model_only", page, QRect(42, 5, 80, 22), 10);

  Lloading = label("Lloading", "File loading progress:", page, 370, 11);
  summaryRows = named(new QLabel(page), "summaryRows");
  summaryRows->setGeometry(4, 32, 122, 52);
  summaryRows->setWordWrap(true);
  summaryRows->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  progress = named(new QProgressBar(page), "progress");
  progress->setGeometry(288, 32, 265, 33);
  progress->setRange(0, 100);
  progress->setValue(0);

  const FactorChart g1 = makeFactorChart(page, 1);
  G1_graph = g1.chart;
  G1_serie = g1.serie;
  const FactorChart g2 = makeFactorChart(page, 2);
  G2_graph = g2.chart;
  G2_serie = g2.serie;
  Combo_G1 = dropDown("Combo_G1", page, QRect(191, 372, 80, 22), 10);
  Combo_G2 = dropDown("Combo_G2", page, QRect(583, 372, 80, 22), 10);

  const HpdiChart hpdi = makeHpdiChart(page);
  Chart4 = hpdi.chart;
  hpdis = hpdi.hpdis;

  const ModelChart models = makeModelChart(page);
  Chart3 = models.chart;
  model = models.model;
  model_help = named(new QPushButton("Help !", Chart3), "model_help");
  model_help->setGeometry(296, 8, 75, 23);

  evidence_ = std::make_unique<SummaryEvidence>(page, host_, dialogs_, models);

  // the memo lies above the gauge: the gauge shows while the memo is hidden during a summary
  mModel = named(new QPlainTextEdit(page), "mModel");
  mModel->setGeometry(128, 3, 649, 82);
  mModel->setReadOnly(true);
  mModel->setFrameShape(QFrame::NoFrame);
  mModel->setFont(QFont("Arial", 12));
  mModel->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette p = mModel->palette();
  p.setColor(QPalette::Base, Summary->window()->palette().color(QPalette::Window));
  mModel->setPalette(p);
  mModel->raise();
  chains_ = std::make_unique<ChainsView>(Summary, host_);
}


std::optional<SummaryInputs> SummaryPage::currentSummaryInputs() const {
  if (!state.open() || state.kind() != FileKind::fst) return std::nullopt;
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  if (!burnIn || !burnOut) return std::nullopt;
  SummaryInputs inputs;
  inputs.modelFilter = state.modelFilter;
  inputs.populationCount = state.populationCount;
  inputs.factorCount = state.factorCount;
  inputs.hasInteraction = state.hasInteraction;
  inputs.factorFileName = state.factorFileName;
  inputs.chains = retainedChains(*burnIn, *burnOut);
  return inputs;
}

void SummaryPage::summaryChanged() {
  if (!summaryIsCurrent()) {
    if (job_.shown()) clearSummaryDisplay();
    if (host_.shownPage() == kSummaryPage && !isBusy() && currentSummaryInputs()) ComputeModelSummary();
  }
  // after the summary: the Chains view waits for the lane it takes
  chains_->chainsChanged();
}

void SummaryPage::clearSummaryDisplay() {
  job_.forget();
  model->data()->clear();
  hpdis->clear();
  mModel->clear();
  summaryRows->clear();
  G1_serie->data()->clear();
  G2_serie->data()->clear();
  Chart3->replot();
  Chart4->replot();
  G1_graph->replot();
  G2_graph->replot();
  evidence_->show(std::nullopt);
}

void SummaryPage::withCurrentSummary(std::function<void()> then) {
  if (summaryIsCurrent()) {
    then();
    return;
  }
  ComputeModelSummary(std::move(then));
}

void SummaryPage::ComputeModelSummary(std::function<void()> then, bool keepShown) {
  if (!state.open() || state.kind() != FileKind::fst) return;
  if (!job_.accept(std::move(then))) return;
  QString problem;
  const auto rows = retainedRowRange(&problem);
  const auto inputs = currentSummaryInputs();
  if (!rows || !inputs) {
    job_.dropWaiting();
    reportError("The summary cannot be computed: " + problem);
    return;
  }
  ModelSummaryInput input;
  input.populationCount = state.populationCount;
  input.factorCount = state.factorCount;
  input.hasInteraction = state.hasInteraction;
  input.chains = inputs->chains;
  input.modelFilter = state.modelFilter;
  // entries a run does not write keep the values of this analysis' earlier runs, never those of
  // another file: the arrays are emptied whenever a table is read
  input.fstSummary = state.fstSummary;
  input.coefficientSummary = state.coefficientSummary;
  input.sigmaSummary = state.sigmaSummary;

  if (!keepShown) clearSummaryDisplay();
  progress->setValue(0);
  // the rows computed on, never those of the files now, which may have grown since
  const QString described = "summary of " + QString::fromStdString(rowsDescribed(input.chains));

  PageJob<SummaryInputs>::Run run;
  run.title = "Computing the summary";
  run.pageGauge = true;
  run.compute = [this, input = std::move(input), described](Progress& progress) -> JobRunner::Apply {
    auto result = std::make_shared<ModelSummaryResult>(computeModelSummary(input, progress));
    if (!result->error.empty()) throw std::runtime_error(result->error);
    // the evidence for each factor: model counts and the ESS of each 0/1 model and factor series
    auto draws = std::make_shared<EvidenceInput>(
        evidenceInput(input.chains, input.layout().modelColumn(), input.factorCount, input.hasInteraction));
    progress.stopIfCancelled();
    return [this, result, draws, described] {
      applyModelSummary(*result);
      evidence_->show(*draws);
      summaryRows->setText(described);
    };
  };
  // the rows or filter changed while it ran: it describes nothing on screen any more
  run.stale = [this] { analysisChanged(); };
  run.failed = [this](const std::string& error) {
    reportError(QString("The summary of \"%1\" cannot be computed: %2")
                    .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
  };
  run.cancelled = [this] { setPassingStatus("The summary was cancelled."); };
  job_.start(*inputs, std::move(run));
}

void SummaryPage::applyModelSummary(const ModelSummaryResult& result) {
  state.modelProbabilities = result.modelProbabilities;
  state.bestModel = result.bestModel;
  state.coefficientSummary = result.coefficientSummary;
  state.sigmaSummary = result.sigmaSummary;
  state.fstSummary = result.fstSummary;

  showModelBars(ModelChart{Chart3, model}, result.modelBars);
  showHpdis(HpdiChart{Chart4, hpdis}, result.hpdis, state.populationCount);

  const auto lines = bestModelLines(result, state.factorCount, state.hasInteraction);
  mModel->setPlainText(QString::fromStdString(lines[0] + "\n" + lines[1] + "\n" + lines[2]));
  progress->setValue(100);
  PlotFstAgainstFactors();  // the mean Fst of every population is new
}

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

void SummaryPage::model_helpClick() {
  dialogs_.inform(Summary->window(), QString::fromStdString(modelHelpText(state.factorCount, state.hasInteraction)));
}

}  // namespace varno
