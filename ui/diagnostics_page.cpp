// The Diagnostics page: every column's figures and convergence diagnostics, computed as a
// background job, shown only while they describe the current rows, filter and factor decision.
#include "ui/diagnostics_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <stdexcept>
#include <qcustomplot.h>

#include "core/column_catalogue.h"
#include "report/following_texts.h"
#include "stats/data_range.h"
#include "stats/convergence_marks.h"
#include "ui/diagnostics_charts.h"
#include "ui/diagnostics_contents.h"
#include "ui/designed_controls.h"
#include "ui/diagnostics_table.h"
#include "ui/job_runner.h"
#include "ui/worker_threads.h"
#include "stats/chain_diagnostics.h"

namespace varno {

namespace {

// The chains the diagnostics are across: those of the analysis.
int chainsOf(const SummaryTableInput& inputs) { return static_cast<int>(inputs.chains.size()); }

// The last row (1-based) of any chain the inputs retain.
long long lastRowOf(const SummaryTableInput& inputs) {
  long long last = 0;
  for (const ChainRows& chain : inputs.chains) last = std::max<long long>(last, chain.rows.end);
  return last;
}

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

}  // namespace

DiagnosticsPage::DiagnosticsPage(QWidget* page, PageHost& host)
    : WindowPage(host),
      Diagnostics(page),
      job_(*jobs_, [this] { return currentDiagnosticsInputs(); }, [this] { ComputeDiagnostics(); }) {
  createDiagnosticsPage();
  connectHandlers();
}

void DiagnosticsPage::createDiagnosticsPage() {
  auto* column = new QVBoxLayout(Diagnostics);
  column->setContentsMargins(6, 6, 6, 6);
  diagnosticsNote = named(new QLabel(Diagnostics), "diagnosticsNote");
  diagnosticsNote->setWordWrap(true);
  column->addWidget(diagnosticsNote);
  diagnosticsRows = named(new QLabel(Diagnostics), "diagnosticsRows");
  column->addWidget(diagnosticsRows);
  auto* filters = new QHBoxLayout;
  diagnosticsFilter = named(new QLineEdit(Diagnostics), "diagnosticsFilter");
  diagnosticsFilter->setPlaceholderText("Filter: part of a name, or a column number");
  diagnosticsFilter->setClearButtonEnabled(true);
  filters->addWidget(diagnosticsFilter, 1);
  diagnosticsMissing = named(new QCheckBox("Only columns that miss the target", Diagnostics), "diagnosticsMissing");
  filters->addWidget(diagnosticsMissing);
  diagnosticsByLocus = named(new QCheckBox("Group by locus", Diagnostics), "diagnosticsByLocus");
  diagnosticsByLocus->setVisible(false);  // frq files only
  filters->addWidget(diagnosticsByLocus);
  diagnosticsShownRows = named(new QLabel(Diagnostics), "diagnosticsShownRows");
  // room for the longest count, so that the filter box keeps its width as the count changes
  diagnosticsShownRows->setMinimumWidth(
      diagnosticsShownRows->fontMetrics().horizontalAdvance(QStringLiteral("35,000 of 35,000 columns")));
  diagnosticsShownRows->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  filters->addWidget(diagnosticsShownRows);
  column->addLayout(filters);
  auto* tableAndCharts = new QHBoxLayout;
  diagnosticsTable = named(new DiagnosticsTable(Diagnostics), "diagnosticsTable");
  tableAndCharts->addWidget(diagnosticsTable, 1);
  auto* charts = new QVBoxLayout;
  rhatSpread = makeSpreadChart("rhatSpread", "R-hat of all columns", Diagnostics);
  essSpread = makeSpreadChart("essSpread", "Bulk ESS of all columns", Diagnostics);
  for (QWidget* chart : {static_cast<QWidget*>(rhatSpread), static_cast<QWidget*>(essSpread)}) {
    chart->setFixedWidth(230);
    chart->setVisible(false);  // until there are figures
    charts->addWidget(chart, 1);
  }
  tableAndCharts->addLayout(charts);
  column->addLayout(tableAndCharts, 1);
}

void DiagnosticsPage::connectHandlers() {
  QObject::connect(diagnosticsTable, &QAbstractItemView::doubleClicked, Diagnostics, [this](const QModelIndex& index) {
    host_.runGuarded([&] { diagnosticsRowDoubleClicked(index.row()); });
  });
  QObject::connect(diagnosticsFilter, &QLineEdit::textChanged, Diagnostics, on([this] { diagnosticsFiltersChanged(); }));
  QObject::connect(diagnosticsMissing, &QCheckBox::toggled, Diagnostics, on([this] { diagnosticsFiltersChanged(); }));
  QObject::connect(diagnosticsByLocus, &QCheckBox::toggled, Diagnostics, on([this] { diagnosticsFiltersChanged(); }));
  QObject::connect(diagnosticsTable, &DiagnosticsTable::copyRequested, Diagnostics, on([this] { copyDiagnostics(); }));
}

std::optional<SummaryTableInput> DiagnosticsPage::currentDiagnosticsInputs() const {
  if (!state.open()) return std::nullopt;
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  if (!burnIn || !burnOut) return std::nullopt;
  SummaryTableInput inputs;
  inputs.chains = retainedChains(*burnIn, *burnOut);
  inputs.layout = {state.kind(), state.populationCount, state.factorCount, state.hasInteraction};
  inputs.modelFilter = state.kind() == FileKind::fst ? state.modelFilter : 0;
  inputs.levelPercent = host_.levelPercent();
  return inputs;
}

void DiagnosticsPage::diagnosticsChanged() {
  if (diagnosticsIsCurrent()) return;
  if (job_.shown()) clearDiagnosticsDisplay();
  if (host_.shownPage() == kDiagnosticsPage && !isBusy() && currentDiagnosticsInputs()) ComputeDiagnostics();
}

void DiagnosticsPage::clearDiagnosticsDisplay() {
  job_.forget();
  diagnosticsContents_.reset();
  diagnosticsTable->clearRows();
  diagnosticsNote->clear();
  diagnosticsRows->clear();
  diagnosticsShownRows->clear();
  lastRow_ = 0;
  targetStatus_.clear();
  showSpread(rhatSpread, {}, 0, kMaximumRhat);
  showSpread(essSpread, {}, 0, kMinimumEssPerChain);
}

void DiagnosticsPage::ComputeDiagnostics(std::function<void()> then, bool keepShown) {
  if (!state.open()) return;
  if (!job_.accept(std::move(then))) return;
  QString problem;
  const auto rows = retainedRowRange(&problem);
  const auto inputs = currentDiagnosticsInputs();
  if (!rows || !inputs) {
    job_.dropWaiting();
    reportError("The diagnostics cannot be computed: " + problem);
    return;
  }
  if (!keepShown) {
    clearDiagnosticsDisplay();
    diagnosticsNote->setText("Computing the diagnostics...");
  }

  PageJob<SummaryTableInput>::Run run;
  run.title = "Computing the diagnostics";
  const std::vector<int> alleleCounts = state.kind() == FileKind::frq ? state.alleleCounts : std::vector<int>{};
  run.compute = [this, inputs = *inputs, alleleCounts](Progress& progress) -> JobRunner::Apply {
    std::vector<SummaryRow> rows = computeSummaryTable(inputs, workerThreads(), progress);
    // everything the page shows is made here: the window's thread only swaps it in
    const QString note = noteFor(inputs, rows);
    // the rows computed on, never those of the files now, which may have grown since
    const QString described = "diagnostics of " + QString::fromStdString(rowsDescribed(inputs.chains));
    auto contents = makeDiagnosticsContents(std::move(rows), chainsOf(inputs), alleleCounts);
    return [this, contents, note, described, lastRow = lastRowOf(inputs)] {
      applyDiagnostics(contents, lastRow);
      diagnosticsNote->setText(note);
      diagnosticsRows->setText(described);
    };
  };
  // the rows, filter or factors changed while it ran: it describes nothing on screen any more
  run.stale = [this] {
    diagnosticsNote->clear();
    analysisChanged();
  };
  run.failed = [this](const std::string& error) {
    diagnosticsNote->clear();
    reportError(QString("The diagnostics of \"%1\" cannot be computed: %2")
                    .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
  };
  run.cancelled = [this] {
    diagnosticsNote->clear();
    setStatus("The diagnostics were cancelled.");
  };
  job_.start(*inputs, std::move(run));
}

void DiagnosticsPage::applyDiagnostics(std::shared_ptr<const DiagnosticsContents> contents, long long lastRow) {
  diagnosticsContents_ = std::move(contents);
  lastRow_ = lastRow;
  diagnosticsByLocus->setVisible(!diagnosticsContents_->locus.empty());
  const auto evaluation = evaluateTarget();
  diagnosticsTable->setRows(diagnosticsContents_, evaluation);
  showTarget(*evaluation);
  diagnosticsFiltersChanged();
}

std::shared_ptr<const TargetEvaluation> DiagnosticsPage::evaluateTarget() {
  return std::make_shared<const TargetEvaluation>(
      evaluateConvergenceTarget(target_, diagnosticsContents_->rows, std::max(1, diagnosticsContents_->chains)));
}

void DiagnosticsPage::showTarget(const TargetEvaluation& evaluation) {
  // the spreads' lines stand at the bounds the marks use
  showSpread(rhatSpread, diagnosticsContents_->rhatSpread, diagnosticsContents_->rhatCount, evaluation.rhatBound);
  showSpread(essSpread, diagnosticsContents_->essSpread, diagnosticsContents_->essCount, evaluation.essBulkBound);
  targetStatus_ = QString::fromStdString(convergenceTargetStatus(evaluation, lastRow_));
  setStatus(targetStatus_);
}

void DiagnosticsPage::setConvergenceTarget(const ConvergenceTarget& target) {
  target_ = target;
  if (!diagnosticsContents_) return;
  const auto evaluation = evaluateTarget();
  diagnosticsTable->rows().setTargetEvaluation(evaluation);
  showTarget(*evaluation);
  diagnosticsFiltersChanged();
}

void DiagnosticsPage::diagnosticsFiltersChanged() {
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

void DiagnosticsPage::setRoundedToMcse(bool rounded) { diagnosticsTable->rows().setRoundedToMcse(rounded); }

void DiagnosticsPage::diagnosticsRowDoubleClicked(int row) {
  const int index = diagnosticsTable->summaryIndexOf(row);
  if (!diagnosticsContents_ || index < 0 || index >= static_cast<int>(diagnosticsContents_->rows.size())) return;
  const std::size_t at = static_cast<std::size_t>(index);
  const int column = diagnosticsContents_->rows[at].column;
  if (state.kind() == FileKind::frq) {
    // the choosers name alleles: the locus and allele of the column, if it is one
    const int locus = diagnosticsContents_->locus.empty() ? -1 : diagnosticsContents_->locus[at];
    const int allele = diagnosticsContents_->allele.empty() ? -1 : diagnosticsContents_->allele[at];
    if (locus < 0 || allele < 0 || !host_.showAllele(locus, allele))
      setStatus(QString("Column %1 holds an allele count: the Details page shows frequencies only.").arg(column));
    return;
  }
  host_.showColumn(column);
}

void DiagnosticsPage::copyDiagnostics() {
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
    auto text = std::make_shared<QString>(QString::fromStdString(formatSummaryTable(rows, SummaryFormat::tsv, diagnosticsColumns())));
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

}  // namespace varno
