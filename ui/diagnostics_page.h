// The Diagnostics page: every column's figures and convergence diagnostics, computed as a
// background job, shown only while they describe the current rows, filter and factor decision.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "report/convergence_target.h"
#include "report/summary_table.h"
#include "ui/page_job.h"
#include "ui/window_page.h"

class QCheckBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QWidget;

namespace varno {

class DiagnosticsTable;
struct DiagnosticsContents;

class DiagnosticsPage : private WindowPage {
 public:
  // Builds the page's controls on `page`.
  DiagnosticsPage(QWidget* page, PageHost& host);

  // After anything the diagnostics depend on changed: empties a page that no longer describes the
  // inputs and, while it is shown, computes it anew.
  void diagnosticsChanged();
  // Computes the diagnostics table of the current rows, filter and factor decision as a
  // background job and shows it; `then` runs once it is shown. keepShown: the table shown stays
  // until the new one replaces it (rows taken in from a followed file).
  void ComputeDiagnostics(std::function<void()> then = {}, bool keepShown = false);
  // True when the page describes the current inputs.
  bool diagnosticsIsCurrent() const { return job_.isCurrent(); }
  // the rows shown, in file order; nothing while the page is empty
  const std::shared_ptr<const DiagnosticsContents>& contents() const { return diagnosticsContents_; }
  // a cancel: nothing waits for the diagnostics any more
  void dropWaiting() { job_.dropWaiting(); }
  // Options > "Round to the Monte Carlo error": means and HPDI limits to the digits their
  // errors support, on the page only.
  void setRoundedToMcse(bool rounded);
  // Options > "Convergence target...": the shown results are judged by it at once, not computed anew.
  void setConvergenceTarget(const ConvergenceTarget& target);
  const ConvergenceTarget& convergenceTarget() const { return target_; }
  // The target's status line of the results shown; empty while there are none.
  QString targetStatus() const { return targetStatus_; }

 private:
  void createDiagnosticsPage();
  void connectHandlers();
  std::optional<SummaryTableInput> currentDiagnosticsInputs() const;
  void applyDiagnostics(std::shared_ptr<const DiagnosticsContents> contents, long long lastRow);
  // the target over the rows shown: marks, spread lines and the status line
  std::shared_ptr<const TargetEvaluation> evaluateTarget();
  void showTarget(const TargetEvaluation& evaluation);
  void clearDiagnosticsDisplay();
  // the filters of the page, applied to the rows shown
  void diagnosticsFiltersChanged();
  void diagnosticsRowDoubleClicked(int row);
  void copyDiagnostics();

  QWidget* Diagnostics;
  QLabel* diagnosticsNote = nullptr;
  QLabel* diagnosticsRows = nullptr;  // the rows the table shown describes
  QLineEdit* diagnosticsFilter = nullptr;
  QCheckBox* diagnosticsMissing = nullptr;
  QCheckBox* diagnosticsByLocus = nullptr;
  QLabel* diagnosticsShownRows = nullptr;
  DiagnosticsTable* diagnosticsTable = nullptr;
  QCustomPlot* rhatSpread = nullptr;
  QCustomPlot* essSpread = nullptr;

  // what the page describes, and its rows in file order
  PageJob<SummaryTableInput> job_;
  std::shared_ptr<const DiagnosticsContents> diagnosticsContents_;
  long long lastRow_ = 0;  // the last row the shown results describe
  ConvergenceTarget target_;
  QString targetStatus_;
};

}  // namespace varno
