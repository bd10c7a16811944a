// The Summary page: the model summary, the model choosers, the page rule and the model help.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <stdexcept>
#include <qcustomplot.h>

#include "core/model_help.h"
#include "charts/window_charts.h"
#include "ui/chains_view.h"
#include "ui/diagnostics_page.h"
#include "ui/dialogs.h"
#include "stats/data_range.h"
#include "stats/model_summary.h"
#include "stats/text_numbers.h"
#include "charts/interval_series.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno {

std::optional<SummaryInputs> TForm3::currentSummaryInputs() const {
  if (!state.table || state.kind() != FileKind::fst) return std::nullopt;
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  if (!burnIn || !burnOut) return std::nullopt;
  SummaryInputs inputs;
  inputs.table = state.table;
  inputs.rows = retainedRows(*burnIn, *burnOut, state.rowCount);
  inputs.modelFilter = state.modelFilter;
  inputs.populationCount = state.populationCount;
  inputs.factorCount = state.factorCount;
  inputs.hasInteraction = state.hasInteraction;
  inputs.factorFileName = state.factorFileName;
  inputs.chains = retainedChains(*burnIn, *burnOut);
  return inputs;
}

bool TForm3::summaryIsCurrent() const {
  const auto current = currentSummaryInputs();
  return current && summaryShown_ && *summaryShown_ == *current;
}

void TForm3::analysisChanged() {
  updateRetainedRowsText();
  diagnostics_->diagnosticsChanged();
  if (!summaryIsCurrent()) {
    if (summaryShown_) {
      summaryShown_.reset();
      clearSummaryDisplay();
    }
    if (Pages->currentIndex() == 1 && !isBusy() && currentSummaryInputs()) ComputeModelSummary();
  }
  // after the summary: the Chains view waits for the lane it takes
  chains_->chainsChanged();
}

void TForm3::clearSummaryDisplay() {
  model->data()->clear();
  hpdis->clear();
  mModel->clear();
  G1_serie->data()->clear();
  G2_serie->data()->clear();
  Chart3->replot();
  Chart4->replot();
  G1_graph->replot();
  G2_graph->replot();
  evidenceDraws_.reset();
  showEvidence();
}

void TForm3::withCurrentSummary(std::function<void()> then) {
  if (summaryIsCurrent()) {
    then();
    return;
  }
  ComputeModelSummary(std::move(then));
}

void TForm3::ComputeModelSummary(std::function<void()> then) {
  if (!state.table || state.kind() != FileKind::fst) return;
  if (then) afterSummary_.push_back(std::move(then));
  if (jobs_->busy(JobRunner::Lane::analysis)) return;  // the waiting steps run after it
  QString problem;
  const auto rows = retainedRowRange(&problem);
  const auto inputs = currentSummaryInputs();
  if (!rows || !inputs) {
    afterSummary_.clear();
    reportError("The summary cannot be computed: " + problem);
    return;
  }
  ModelSummaryInput input;
  input.table = state.table;
  input.populationCount = state.populationCount;
  input.factorCount = state.factorCount;
  input.hasInteraction = state.hasInteraction;
  input.rows = *rows;
  input.chains = inputs->chains;
  input.modelFilter = state.modelFilter;
  // entries a run does not write keep the values of this analysis' earlier runs, never those of
  // another file: the arrays are emptied whenever a table is read
  input.fstSummary = state.fstSummary;
  input.coefficientSummary = state.coefficientSummary;
  input.sigmaSummary = state.sigmaSummary;

  summaryShown_.reset();
  clearSummaryDisplay();
  progress->setValue(0);

  JobRunner::Job job;
  job.title = "Computing the summary";
  job.work = [this, input = std::move(input), inputs = *inputs](JobControl& control) -> JobRunner::Apply {
    auto result = std::make_shared<ModelSummaryResult>(
        computeModelSummary(input, [&control](int p) { control.setPercent(p); }, control.cancelFlag()));
    if (result->cancelled) throw JobCancelled{};
    if (!result->error.empty()) throw std::runtime_error(result->error);
    // the evidence for each factor: model counts and the ESS of each 0/1 model and factor series
    auto draws = std::make_shared<EvidenceInput>();
    draws->factorCount = input.factorCount;
    draws->hasInteraction = input.hasInteraction;
    std::vector<std::span<const float>> chains;
    draws->retainedRows = 0;
    const std::vector<ChainRows> oneChain{{input.table, input.rows}};
    for (const ChainRows& chain : input.chains.empty() ? oneChain : input.chains) {
      const std::span<const float> models = chain.table->column(3 + input.populationCount);
      chains.push_back(
          models.subspan(static_cast<std::size_t>(chain.rows.begin), static_cast<std::size_t>(chain.rows.count())));
      draws->retainedRows += chain.rows.count();
    }
    draws->modelCounts = modelCounts(chains, input.factorCount, input.hasInteraction);
    draws->ess = indicatorEss(chains, input.factorCount, input.hasInteraction);
    if (control.cancelFlag() && control.cancelFlag()->load()) throw JobCancelled{};
    return [this, result, draws, inputs] {
      // the rows or filter changed while it ran: it describes nothing on screen any more
      if (currentSummaryInputs() != inputs) {
        analysisChanged();
        if (!afterSummary_.empty() && !isBusy()) ComputeModelSummary();
        return;
      }
      summaryShown_ = inputs;
      applyModelSummary(*result);
      evidenceDraws_ = *draws;
      showEvidence();
      auto waiting = std::move(afterSummary_);
      afterSummary_.clear();
      for (auto& step : waiting) step();
    };
  };
  job.failed = [this](const std::string& error) {
    afterSummary_.clear();
    reportError(QString("The summary of \"%1\" cannot be computed: %2")
                    .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
  };
  job.cancelled = [this] {
    afterSummary_.clear();
    setPassingStatus("The summary was cancelled.");
  };
  jobs_->start(JobRunner::Lane::analysis, std::move(job));
}

void TForm3::applyModelSummary(const ModelSummaryResult& result) {
  state.modelProbabilities = result.modelProbabilities;
  state.bestModel = result.bestModel;
  state.coefficientSummary = result.coefficientSummary;
  state.sigmaSummary = result.sigmaSummary;
  state.fstSummary = result.fstSummary;

  showModelBars(ModelChart{Chart3, model}, result.modelBars);
  showHpdis(HpdiChart{Chart4, hpdis}, result.hpdis, state.populationCount);

  mModel->setPlainText(QString::fromStdString(result.memoLines[0] + "\n" + result.memoLines[1] +
                                              "\n" + result.memoLines[2]));
  progress->setValue(100);
  PlotFstAgainstFactors();  // the mean Fst of every population is new
}

bool TForm3::PagesChanging(int requestedPage) {
  if (requestedPage == kDiagnosticsPage) {
    // every kind of file has diagnostics, once there is one
    if (!state.table) return false;
  } else if (state.dataExtension != ".fst" && !(requestedPage == 0 && currentPage_ == kDiagnosticsPage)) {
    return false;
  }
  // the Summary and Diagnostics pages read the analysis: not while a file is read or one of
  // them computed
  if (requestedPage != 0 && refuseWhileBusy()) return false;
  return true;
}

void TForm3::modelChosen(QComboBox* chooser, QComboBox* twin) {
  // the summary running, or the file being read, was asked for with the filter as it was
  if (refuseWhileBusy()) {
    chooser->setCurrentIndex(state.modelFilter);
    return;
  }
  state.modelFilter = std::max(0, chooser->currentIndex());
  twin->setCurrentIndex(chooser->currentIndex());
  ReplotCurrentColumn();
  analysisChanged();
}

void TForm3::Model_onlyChange() { modelChosen(Model_only, Model_only2); }

void TForm3::Model_only2Change() { modelChosen(Model_only2, Model_only); }

void TForm3::model_helpClick() {
  dialogs_.inform(this, QString::fromStdString(modelHelpText(state.factorCount, state.hasInteraction)));
}

}  // namespace varno
