// The Summary page's Chains view (the chains side by side, disagreeing rows marked) and
// File > "Export retained draws...": both over every chain of the analysis, as background jobs.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <stdexcept>

#include "report/draws_export.h"
#include "report/output_target.h"
#include "report/summary_table.h"
#include "stats/chain_comparison.h"
#include "stats/number_format.h"
#include "stats/text_numbers.h"
#include "ui/diagnostics_table.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

constexpr int kSummaryPage = 1;
constexpr int kChainsTop = 90;  // below the memo and the gauge
constexpr int kNoteHeight = 36;

QString figureText(const std::optional<double>& value) {
  return value ? QString::fromStdString(generalFormat(*value, 4)) : QString("NA");
}

}  // namespace

void TForm3::createChainsView() {
  chainsView = new QPushButton("Chains", Summary);
  chainsView->setObjectName("chainsView");
  chainsView->setCheckable(true);
  chainsView->setToolTip("Show the chains side by side in place of the charts");
  chainsView->setGeometry(4, 34, 118, 24);
  chainsNote = new QLabel(Summary);
  chainsNote->setObjectName("chainsNote");
  chainsNote->setWordWrap(true);
  chainsNote->setAutoFillBackground(true);
  chainsNote->setContentsMargins(4, 0, 4, 0);
  chainsTable = new QTableWidget(Summary);
  chainsTable->setObjectName("chainsTable");
  chainsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  chainsTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  chainsTable->verticalHeader()->setVisible(false);
  chainsTable->verticalHeader()->setDefaultSectionSize(22);
  chainsNote->hide();
  chainsTable->hide();
  Summary->installEventFilter(this);
  placeChainsView();
}

void TForm3::placeChainsView() {
  // the whole width and height below the memo: nothing of the charts shows around it
  const int width = Summary->width();
  chainsNote->setGeometry(0, kChainsTop, width, kNoteHeight);
  chainsTable->setGeometry(0, kChainsTop + kNoteHeight, width, std::max(0, Summary->height() - kChainsTop - kNoteHeight));
}

std::optional<ChainsInputs> TForm3::currentChainsInputs() const {
  const auto summary = currentSummaryInputs();
  if (!summary) return std::nullopt;
  ChainsInputs inputs;
  inputs.summary = *summary;
  return inputs;
}

void TForm3::chainsViewClick() {
  const bool on = chainsView->isChecked();
  chainsNote->setVisible(on);
  chainsTable->setVisible(on);
  if (on) {
    chainsNote->raise();
    chainsTable->raise();
    chainsChanged();
  }
}

void TForm3::chainsChanged() {
  const auto current = currentChainsInputs();
  if (chainsShown_ && current == chainsShown_) return;
  if (chainsShown_) clearChainsDisplay();
  chainsWanted_ = chainsView->isChecked() && Pages->currentIndex() == kSummaryPage && current.has_value();
  // the summary (or a file being read) has the lane: the table follows once it is free
  if (chainsWanted_ && !jobs_->busy(JobRunner::Lane::analysis)) ComputeChainsTable();
}

void TForm3::clearChainsDisplay() {
  chainsShown_.reset();
  chainsTable->clear();
  chainsTable->setRowCount(0);
  chainsTable->setColumnCount(0);
  chainsNote->clear();
}

void TForm3::ComputeChainsTable() {
  chainsWanted_ = false;
  const auto inputs = currentChainsInputs();
  if (!inputs) return;
  clearChainsDisplay();
  chainsNote->setText("Computing the chains table...");
  const TableLayout layout{FileKind::fst, state.populationCount, state.factorCount, state.hasInteraction};

  JobRunner::Job job;
  job.title = "Computing the chains table";
  job.work = [this, inputs = *inputs, layout](Progress& progress) -> JobRunner::Apply {
    auto comparison = std::make_shared<ChainComparison>(
        compareChains(inputs.summary.chains, layout, inputs.summary.modelFilter, 2, progress));
    if (!comparison->error.empty()) throw std::runtime_error(comparison->error);
    return [this, comparison, inputs] {
      // the rows, filter, factors or chains changed while it ran: it describes nothing on screen
      if (currentChainsInputs() != inputs) {
        chainsNote->clear();
        chainsChanged();
        return;
      }
      chainsShown_ = inputs;
      applyChainsTable(*comparison);
    };
  };
  job.failed = [this](const std::string& error) {
    chainsNote->clear();
    reportError(QString("The chains table of \"%1\" cannot be computed: %2")
                    .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
  };
  job.cancelled = [this] {
    chainsNote->clear();
    setPassingStatus("The chains table was cancelled.");
  };
  if (!jobs_->start(JobRunner::Lane::analysis, std::move(job))) chainsWanted_ = true;
}

void TForm3::applyChainsTable(const ChainComparison& comparison) {
  const int chains = comparison.chainCount;
  QStringList header{"Quantity"};
  for (int c = 1; c <= chains; ++c) header << QString("Chain %1").arg(c);
  header << "Pooled" << "R-hat";
  chainsTable->setColumnCount(static_cast<int>(header.size()));
  chainsTable->setHorizontalHeaderLabels(header);
  const std::vector<std::string> files = state.chainFileNames();
  for (int c = 0; c < chains && c < static_cast<int>(files.size()); ++c)
    chainsTable->horizontalHeaderItem(c + 1)->setToolTip(QString::fromStdString(files[static_cast<std::size_t>(c)]));
  chainsTable->setRowCount(static_cast<int>(comparison.rows.size()));
  int disagreeing = 0;
  for (int r = 0; r < static_cast<int>(comparison.rows.size()); ++r) {
    const ChainComparisonRow& row = comparison.rows[static_cast<std::size_t>(r)];
    QStringList cells{QString::fromStdString(row.name)};
    for (const auto& value : row.chains) cells << figureText(value);
    cells << figureText(row.pooled) << figureText(row.rhat);
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (row.disagrees) {
        item->setBackground(DiagnosticsTable::markColour());
        item->setToolTip("The chains disagree on this quantity");
      }
      chainsTable->setItem(r, c, item);
    }
    chainsTable->item(r, 0)->setData(Qt::UserRole, row.disagrees);
    disagreeing += row.disagrees ? 1 : 0;
  }
  chainsTable->resizeColumnsToContents();
  if (chains < 2) {
    chainsNote->setText("One chain: there is nothing to compare it with. Open further runs of this analysis as "
                        "chains to see whether they agree.");
  } else {
    chainsNote->setText(QString("%1 of %2 rows marked: there the chains disagree (the R-hat across chains of a "
                                "model's or factor's 0/1 indicator is above 1.01, or the Fst HPD intervals of two "
                                "chains do not overlap).")
                            .arg(disagreeing)
                            .arg(comparison.rows.size()));
  }
}

void TForm3::exportDrawsClick() {
  if (!state.open()) {
    reportError("There are no draws to export: open a data file first.");
    return;
  }
  if (refuseWhileBusy()) return;
  QString problem;
  const auto burnIn = parseWholeNumber(Cutin->text().toStdString());
  const auto burnOut = parseWholeNumber(Cutout->text().toStdString());
  if (!retainedRowRange(&problem) || !burnIn || !burnOut) {
    reportError("The draws cannot be exported: " + problem);
    return;
  }
  const auto chosen = askSavePath(DialogPurpose::exportDraws, "Tab-separated draws (*.tsv)|*.tsv", ".tsv", "draws");
  if (!chosen) return;
  const std::string path = chosen->toStdString();
  const std::vector<InputFile> inputs = analysisInputs(state);
  if (const auto input = inputFileTargeted(path, inputs)) {
    reportError("The draws were not exported: " + QString::fromStdString(*input) + ".");
    return;
  }

  DrawsExportInput input;
  input.chains = retainedChains(*burnIn, *burnOut);
  const bool fst = state.kind() == FileKind::fst;
  const TableLayout layout = state.layout();
  input.columnNames = summaryColumnNames(*state.firstTable(), layout);
  input.modelColumn = layout.modelColumn();
  input.modelFilter = fst ? state.modelFilter : 0;

  JobRunner::Job job;
  job.title = "Exporting the retained draws";
  job.work = [this, path, input = std::move(input), inputs](Progress& progress) -> JobRunner::Apply {
    long long draws = 0;
    const auto error = writeDrawsExport(path, input, inputs, &draws, progress);
    if (error) throw std::runtime_error(*error);
    return [this, path, draws] {
      setStatus(QString("%1 draws written to %2").arg(draws).arg(QString::fromStdString(path)));
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("The draws were not exported: " + QString::fromStdString(error));
  };
  job.cancelled = [this] { setPassingStatus("The export of the draws was cancelled; no file was written."); };
  jobs_->start(JobRunner::Lane::analysis, std::move(job));
}

}  // namespace varno
