// The Diagnostics page: every column's figures and convergence diagnostics, computed as a
// background job, shown only while they describe the current rows, filter and factor decision.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <stdexcept>
#include <thread>

#include "core/column_catalogue.h"
#include "report/atomic_write.h"
#include "report/output_target.h"
#include "stats/data_range.h"
#include "stats/text_numbers.h"
#include "stats/convergence_marks.h"
#include "ui/diagnostics_charts.h"
#include "ui/diagnostics_contents.h"
#include "ui/diagnostics_table.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/job_runner.h"
#include "stats/chain_diagnostics.h"
#include "ui/plotwin2.h"
#include "ui/up_down.h"

namespace varno {

namespace {

// The chains the diagnostics are across: those of the analysis.
int chainsOf(const SummaryTableInput& inputs) { return static_cast<int>(inputs.chains.size()); }

QString noteFor(const SummaryTableInput& inputs, const std::vector<SummaryRow>& rows) {
  QString note =
      chainsOf(inputs) == 1
          ? QString("With one chain, split R-hat cannot see a second mode that the chain never visited; several "
                    "runs of the chain can.")
          : QString("The diagnostics are across the %1 chains, each split in halves; the figures are of their "
                    "pooled draws.")
                .arg(chainsOf(inputs));
  // chains of different lengths, and chains with too few draws of a column, said once per kind
  bool cut = false;
  QStringList leftOut;
  for (const SummaryRow& row : rows) {
    if (row.chainsCut) cut = true;
    if (!row.chainsLeftOut.empty())
      leftOut << QString("column %1: %2").arg(row.column).arg(QString::fromStdString(chainUseNote(row.chainsLeftOut, false, 0)));
  }
  if (cut)
    note += " The chains have different retained lengths: each is cut to the first draws of the shortest.";
  if (!leftOut.isEmpty()) note += " Left out: " + leftOut.join("; ") + ".";
  const bool filtered = inputs.modelFilter != 0;
  const bool factorRule = inputs.layout.kind == FileKind::fst && inputs.layout.factorCount > 0;
  if (filtered && factorRule) {
    note += QString(" Under the filter on model %1, and for the coefficients of the factors over the models "
                    "that hold them, the diagnostics are conditional on the visits to those models: their "
                    "lags count visits, not iterations.")
                .arg(inputs.modelFilter);
  } else if (filtered) {
    note += QString(" Under the filter on model %1 the diagnostics are conditional on the visits to that "
                    "model: their lags count visits, not iterations.")
                .arg(inputs.modelFilter);
  } else if (factorRule) {
    note += " The coefficients of the factors use the visits to the models that hold their factor: their "
            "diagnostics are conditional on those visits, and their lags count visits, not iterations.";
  }
  return note;
}

// The columns are spread over every core, as the headless tool does: the window's own thread
// waits for none of them.
int workerThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 2 : static_cast<int>(cores);
}

}  // namespace

std::optional<SummaryTableInput> TForm3::currentDiagnosticsInputs() const {
  if (!state.open()) return std::nullopt;
  const auto burnIn = parseWholeNumber(Cutin->text().toStdString());
  const auto burnOut = parseWholeNumber(Cutout->text().toStdString());
  if (!burnIn || !burnOut) return std::nullopt;
  SummaryTableInput inputs;
  inputs.chains = retainedChains(*burnIn, *burnOut);
  inputs.layout = {state.kind(), state.populationCount, state.factorCount, state.hasInteraction};
  inputs.modelFilter = state.kind() == FileKind::fst ? state.modelFilter : 0;
  inputs.levelPercent = Cpc->position();
  return inputs;
}

bool TForm3::diagnosticsIsCurrent() const {
  const auto current = currentDiagnosticsInputs();
  return current && diagnosticsShown_ && *diagnosticsShown_ == *current;
}

void TForm3::diagnosticsChanged() {
  if (diagnosticsIsCurrent()) return;
  if (diagnosticsShown_) clearDiagnosticsDisplay();
  if (Pages->currentIndex() == kDiagnosticsPage && !isBusy() && currentDiagnosticsInputs()) ComputeDiagnostics();
}

void TForm3::clearDiagnosticsDisplay() {
  diagnosticsShown_.reset();
  diagnosticsContents_.reset();
  diagnosticsTable->clearRows();
  diagnosticsNote->clear();
  diagnosticsShownRows->clear();
  showSpread(rhatSpread, {}, 0, kMaximumRhat);
  showSpread(essSpread, {}, 0, kMinimumEssPerChain);
}

void TForm3::ComputeDiagnostics(std::function<void()> then) {
  if (!state.open()) return;
  // the commands that ask for it are refused while the lane is busy; a step left waiting here
  // would have nothing to run it
  if (jobs_->busy(JobRunner::Lane::analysis)) return;
  if (then) afterDiagnostics_.push_back(std::move(then));
  QString problem;
  const auto rows = retainedRowRange(&problem);
  const auto inputs = currentDiagnosticsInputs();
  if (!rows || !inputs) {
    afterDiagnostics_.clear();
    reportError("The diagnostics cannot be computed: " + problem);
    return;
  }
  clearDiagnosticsDisplay();
  diagnosticsNote->setText("Computing the diagnostics...");

  JobRunner::Job job;
  job.title = "Computing the diagnostics";
  const std::vector<int> alleleCounts = state.kind() == FileKind::frq ? state.alleleCounts : std::vector<int>{};
  job.work = [this, inputs = *inputs, alleleCounts](Progress& progress) -> JobRunner::Apply {
    std::vector<SummaryRow> rows = computeSummaryTable(inputs, workerThreads(), progress);
    // everything the page shows is made here: the window's thread only swaps it in
    const QString note = noteFor(inputs, rows);
    auto contents = makeDiagnosticsContents(std::move(rows), chainsOf(inputs), alleleCounts);
    return [this, contents, inputs, note] {
      // the rows, filter or factors changed while it ran: it describes nothing on screen any more
      if (currentDiagnosticsInputs() != inputs) {
        diagnosticsNote->clear();
        analysisChanged();
        if (!afterDiagnostics_.empty() && !isBusy()) ComputeDiagnostics();
        return;
      }
      applyDiagnostics(inputs, contents);
      diagnosticsNote->setText(note);
      auto waiting = std::move(afterDiagnostics_);
      afterDiagnostics_.clear();
      for (auto& step : waiting) step();
    };
  };
  job.failed = [this](const std::string& error) {
    afterDiagnostics_.clear();
    diagnosticsNote->clear();
    reportError(QString("The diagnostics of \"%1\" cannot be computed: %2")
                    .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
  };
  job.cancelled = [this] {
    afterDiagnostics_.clear();
    diagnosticsNote->clear();
    setStatus("The diagnostics were cancelled.");
  };
  jobs_->start(JobRunner::Lane::analysis, std::move(job));
}

void TForm3::applyDiagnostics(const SummaryTableInput& inputs, std::shared_ptr<const DiagnosticsContents> contents) {
  diagnosticsShown_ = inputs;
  diagnosticsContents_ = std::move(contents);
  diagnosticsByLocus->setVisible(!diagnosticsContents_->locus.empty());
  diagnosticsTable->setRows(diagnosticsContents_);
  showSpread(rhatSpread, diagnosticsContents_->rhatSpread, diagnosticsContents_->rhatCount, kMaximumRhat);
  showSpread(essSpread, diagnosticsContents_->essSpread, diagnosticsContents_->essCount,
             kMinimumEssPerChain * diagnosticsContents_->chains);
  diagnosticsFiltersChanged();
}

void TForm3::diagnosticsFiltersChanged() {
  DiagnosticsModel& rows = diagnosticsTable->rows();
  rows.setNameFilter(diagnosticsFilter->text());
  rows.setOnlyMissingTarget(diagnosticsMissing->isChecked());
  rows.setGroupedByLocus(diagnosticsByLocus->isChecked());  // no loci, no groups
  const int all = diagnosticsContents_ ? static_cast<int>(diagnosticsContents_->rows.size()) : 0;
  diagnosticsShownRows->setText(all == 0 ? QString()
                                : rows.shownSummaryRows() == all
                                    ? QString("%1 columns").arg(all)
                                    : QString("%1 of %2 columns").arg(rows.shownSummaryRows()).arg(all));
}

void TForm3::diagnosticsRowDoubleClicked(int row) {
  const int index = diagnosticsTable->summaryIndexOf(row);
  if (!diagnosticsContents_ || index < 0 || index >= static_cast<int>(diagnosticsContents_->rows.size())) return;
  const std::size_t at = static_cast<std::size_t>(index);
  const int column = diagnosticsContents_->rows[at].column;
  if (state.kind() == FileKind::frq) {
    // the choosers name alleles: the locus and allele of the column, if it is one
    const int locus = diagnosticsContents_->locus.empty() ? -1 : diagnosticsContents_->locus[at];
    const int allele = diagnosticsContents_->allele.empty() ? -1 : diagnosticsContents_->allele[at];
    if (locus < 0 || allele < 0 || locus >= Locus->count()) {
      setStatus(QString("Column %1 holds an allele count: the Details page shows frequencies only.").arg(column));
      return;
    }
    selectPage(0);
    Locus->setCurrentIndex(locus);
    LocusChange();
    Allele->setCurrentIndex(allele);
    AlleleChange();
    return;
  }
  if (column < 1 || column > xi->count()) return;
  selectPage(0);
  xi->setCurrentIndex(column - 1);
  xiChange();
}

void TForm3::copyDiagnostics() {
  if (!diagnosticsContents_) return;
  const std::vector<int> selected = diagnosticsTable->selectedSummaryIndexes();
  if (selected.empty()) return;
  if (refuseWhileBusy()) return;
  // tens of thousands of rows take longer to write out than the window may wait
  JobRunner::Job job;
  job.title = "Copying the diagnostics";
  job.work = [this, contents = diagnosticsContents_, selected](Progress&) -> JobRunner::Apply {
    std::vector<SummaryRow> rows;
    rows.reserve(selected.size());
    for (int index : selected) rows.push_back(contents->rows[static_cast<std::size_t>(index)]);
    auto text = std::make_shared<QString>(QString::fromStdString(formatSummaryTable(rows, SummaryFormat::tsv)));
    return [this, text, count = selected.size()] {
      QApplication::clipboard()->setText(*text);
      setStatus(count == 1 ? QString("1 row copied.") : QString("%1 rows copied.").arg(count));
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("The rows were not copied: " + QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::analysis, std::move(job));
}

void TForm3::diag_saveClick() {
  if (!state.open()) {
    reportError("There is no diagnostics table to save: open a data file first.");
    return;
  }
  if (refuseWhileBusy()) return;
  // the file gives the diagnostics of the rows, filter and factors chosen now
  if (!diagnosticsIsCurrent()) {
    ComputeDiagnostics([this] {
      if (diagnosticsIsCurrent()) diag_saveClick();
    });
    return;
  }
  const auto chosen = askSavePath(DialogPurpose::saveDiagnostics, "CSV file (*.csv)|*.csv", ".csv", "diagnostics");
  if (!chosen) return;
  const std::string path = chosen->toStdString();
  if (const auto input = inputFileTargeted(path, analysisInputs(state))) {
    reportError("The diagnostics table was not saved: " + QString::fromStdString(*input) + ".");
    return;
  }
  // written on a worker: the text of tens of thousands of rows takes longer than a click may
  JobRunner::Job job;
  job.title = "Saving the diagnostics table";
  job.work = [this, path, contents = diagnosticsContents_](Progress& progress) -> JobRunner::Apply {
    const std::string text = formatSummaryTable(contents->rows, SummaryFormat::csv);
    progress.stopIfCancelled();
    if (const auto error = writeFileAtomically(path, text)) throw std::runtime_error(*error);
    return [this, path] { setStatus("Diagnostics table written to " + QString::fromStdString(path)); };
  };
  job.failed = [this](const std::string& error) { reportError(QString::fromStdString(error)); };
  job.cancelled = [this] { setStatus("The diagnostics table was not saved."); };
  jobs_->start(JobRunner::Lane::analysis, std::move(job));
}

}  // namespace varno
