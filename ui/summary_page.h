// The Summary page: the model summary of the retained rows, its charts, the evidence for each
// factor, the charts of Fst against the factors and the Chains view. The summary is computed as a
// background job and shown only while it describes the current rows, filter and factor decision.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

#include "ui/page_job.h"
#include "ui/result_inputs.h"
#include "ui/window_page.h"

class QCPBars;
class QCPGraph;
class QComboBox;
class QCustomPlot;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace varno {

class ChainsView;
class Dialogs;
class IntervalSeries;
class SummaryEvidence;
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
  // shows it; `then` runs once it is shown (not when it failed or was cancelled). keepShown: the
  // summary shown stays until the new one replaces it (rows taken in from a followed file).
  void ComputeModelSummary(std::function<void()> then = {}, bool keepShown = false);
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
  QLabel* summaryRows = nullptr;  // the rows the summary shown describes
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

 private:
  void createSummaryPage();
  void applyModelSummary(const ModelSummaryResult& result);
  void model_helpClick();
  void Combo_G1Change();
  void Combo_G2Change();

  QWidget* Summary;
  Dialogs& dialogs_;
  std::unique_ptr<SummaryEvidence> evidence_;
  std::unique_ptr<ChainsView> chains_;
  // what the summary in the analysis and on the page describes
  PageJob<SummaryInputs> job_;
};

}  // namespace varno
