// What a page of the window uses of the window around it: the analysis, the job runner, the data
// range, the status line and the error box. The window implements it; a page knows no more of it.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/analysis_state.h"
#include "report/convergence_target.h"
#include "stats/chain_rows.h"
#include "stats/row_range.h"
#include "ui/burn_range.h"
#include "ui/result_inputs.h"

namespace varno {

class JobRunner;

// the pages in the order of their tabs
constexpr int kDetailsPage = 0;
constexpr int kSummaryPage = 1;
constexpr int kDiagnosticsPage = 2;

class PageHost {
 public:
  // the one record of the analysis; the Summary page writes its results into it
  virtual AnalysisState& analysisState() = 0;
  virtual JobRunner& jobRunner() = 0;
  // the data range as the edits say it, read once per change
  virtual const BurnRange& burnRange() const = 0;
  // The retained rows of the data range, clamped to the table; nothing while an edit's text is not
  // a whole number (the edit is then marked invalid). `problem` gets a message naming the text.
  virtual std::optional<RowRange> retainedRowRange(QString* problem = nullptr) = 0;
  // Several chains: each chain's table with its retained rows; empty for one chain.
  virtual std::vector<ChainRows> retainedChains(long long burnIn, long long burnOut) const = 0;
  // Inputs the summary would be computed from now; nothing while the data range is invalid.
  virtual std::optional<SummaryInputs> currentSummaryInputs() const = 0;
  // Options > "Convergence target...": what the Diagnostics page judges by and ESS plots mark
  virtual const ConvergenceTarget& convergenceTarget() const = 0;
  // the level of the intervals, set on the Details page
  virtual int levelPercent() const = 0;
  // Options > "log(Fst/1-Fst)": Fst plotted against the factors on the logit scale
  virtual bool fstOnLogitScale() const = 0;
  // Options > "Show burn-in rows": a trace shows the rows outside the sample too
  virtual bool showBurnInRows() const = 0;
  // the page the window shows
  virtual int shownPage() const = 0;
  // True while a file is read or the analysis lane computes.
  virtual bool isBusy() const = 0;
  // When busy, says so in the status line and returns true: the command is then ignored.
  virtual bool refuseWhileBusy() = 0;
  // After anything the pages depend on changed: every page brings itself up to date.
  virtual void analysisChanged() = 0;
  // The Details page showing a column (in a .frq file: the locus and allele of one).
  virtual void showColumn(int column) = 0;
  // false when the chooser has no such locus
  virtual bool showAllele(int locus, int allele) = 0;
  virtual void reportError(const QString& text) = 0;
  virtual void setStatus(const QString& text) = 0;
  virtual void setPassingStatus(const QString& text) = 0;
  // a passing status message goes: the user changed what the window shows
  virtual void dropPassingStatus() = 0;
  // Runs a handler so that an error it raises ends only that handler and is shown to the user.
  virtual void runGuarded(const std::function<void()>& handler) = 0;

 protected:
  ~PageHost() = default;
};

}  // namespace varno
