// The Summary page: the model summary of the retained rows, its charts, the evidence for each
// factor, the charts of Fst against the factors and the Chains view. The summary is computed as a
// background job and shown only while it describes the current rows, filter and factor decision.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "stats/inclusion_evidence.h"
#include "ui/page_job.h"
#include "ui/result_inputs.h"
#include "ui/window_page.h"

class QCPBars;
class QCPGraph;
class QComboBox;
class QCustomPlot;
class QHelpEvent;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;

namespace varno {

class ChainsView;
class Dialogs;
class IntervalSeries;
struct ModelSummaryResult;

class SummaryPage : public QObject, private WindowPage {
 public:
  // Builds the page's controls on `page`.
  SummaryPage(QWidget* page, PageHost& host, Dialogs& dialogs);
  ~SummaryPage() override;

  // The Chains view's wait for the analysis lane, wired after the window's own job controls.
  void connectHandlers();

  // Inputs the summary would be computed from now; nothing while the data range is invalid.
  std::optional<SummaryInputs> currentSummaryInputs() const;
  // True when the summary in the analysis and on the page describes the current inputs.
  bool summaryIsCurrent() const { return job_.isCurrent(); }
  // After anything the summary depends on changed: empties a page that no longer describes the
  // inputs and, while it is shown, computes it anew; then the Chains view does the same.
  void summaryChanged();
  // Computes the summary of the current rows, filter and factor decision as a background job and
  // shows it; `then` runs once it is shown (not when it failed or was cancelled).
  void ComputeModelSummary(std::function<void()> then = {});
  // Runs `then` once the summary describes the current inputs, computing it first when needed.
  void withCurrentSummary(std::function<void()> then);
  // Empties the page: it shows no summary.
  void clearSummaryDisplay();
  // a cancel: nothing waits for the summary any more
  void dropWaiting() { job_.dropWaiting(); }
  // The charts of Fst against the factors chosen, from the shown summary's mean Fst.
  void PlotFstAgainstFactors();
  void clearFactorDisplay();

  // ---- controls, under their designed names: the window's file and chart menus act on them ----
  QLabel* LModel_choice = nullptr;
  QComboBox* Model_only = nullptr;
  QPlainTextEdit* mModel = nullptr;
  QLabel* Lloading = nullptr;
  QProgressBar* progress = nullptr;
  QCustomPlot* G1_graph = nullptr;
  QCPGraph* G1_serie = nullptr;
  QCustomPlot* G2_graph = nullptr;
  QCPGraph* G2_serie = nullptr;
  QComboBox* Combo_G1 = nullptr;
  QComboBox* Combo_G2 = nullptr;
  QCustomPlot* Chart4 = nullptr;
  IntervalSeries* hpdis = nullptr;
  QCustomPlot* Chart3 = nullptr;
  QCPBars* model = nullptr;
  QPushButton* model_help = nullptr;
  // the evidence for each factor, under the charts
  QLabel* Levidence = nullptr;
  QLabel* Lprior = nullptr;
  QPushButton* model_prior = nullptr;
  QTableWidget* evidence = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createSummaryPage();
  void applyModelSummary(const ModelSummaryResult& result);
  // The evidence table and the prior line from the shown summary's model draws and the prior.
  void showEvidence();
  // The model chart's tooltip: the probability of the model under the mouse, with its error.
  bool modelChartToolTip(QHelpEvent* event);
  void model_helpClick();
  void model_priorClick();
  void Combo_G1Change();
  void Combo_G2Change();

  QWidget* Summary;
  Dialogs& dialogs_;
  std::unique_ptr<ChainsView> chains_;
  // what the summary in the analysis and on the page describes
  PageJob<SummaryInputs> job_;
  // the shown summary's model counts and indicator ESS; the prior is filled in when shown
  std::optional<EvidenceInput> evidenceDraws_;
  std::optional<InclusionEvidence> evidenceShown_;
  // the user's prior weights, one per model; empty: every model equally likely
  std::vector<double> modelPriorWeights_;
};

}  // namespace varno
