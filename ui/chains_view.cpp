// The Summary page's Chains view: the chains side by side, disagreeing rows marked, over every
// chain of the analysis, as a background job.
#include "ui/chains_view.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <stdexcept>

#include "stats/chain_comparison.h"
#include "stats/number_format.h"
#include "ui/diagnostics_table.h"
#include "ui/job_runner.h"

namespace varno {

namespace {

constexpr int kChainsTop = 90;  // below the memo and the gauge
constexpr int kNoteHeight = 36;

QString figureText(const std::optional<double>& value) {
  return value ? QString::fromStdString(generalFormat(*value, 4)) : QString("NA");
}

}  // namespace

ChainsView::ChainsView(QWidget* page, PageHost& host)
    : WindowPage(host),
      Summary(page),
      job_(*jobs_, [this] { return currentChainsInputs(); }, [this] { chainsChanged(); }) {
  createChainsView();
}

void ChainsView::connectHandlers() {
  connect(chainsView, &QPushButton::clicked, this, on([this] { chainsViewClick(); }));
  // the Chains view waits for the lane that the summary or a file being read holds
  connect(jobs_, &JobRunner::analysisEnded, this, [this] {
    if (chainsWanted_ && !jobs_->busy(JobRunner::Lane::analysis)) host_.runGuarded([&] { chainsChanged(); });
  });
}

bool ChainsView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Summary && event->type() == QEvent::Resize) placeChainsView();
  return QObject::eventFilter(watched, event);
}

void ChainsView::createChainsView() {
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

void ChainsView::placeChainsView() {
  // the whole width and height below the memo: nothing of the charts shows around it
  const int width = Summary->width();
  chainsNote->setGeometry(0, kChainsTop, width, kNoteHeight);
  chainsTable->setGeometry(0, kChainsTop + kNoteHeight, width, std::max(0, Summary->height() - kChainsTop - kNoteHeight));
}

std::optional<ChainsInputs> ChainsView::currentChainsInputs() const {
  const auto summary = host_.currentSummaryInputs();
  if (!summary) return std::nullopt;
  ChainsInputs inputs;
  inputs.summary = *summary;
  return inputs;
}

void ChainsView::chainsViewClick() {
  const bool on = chainsView->isChecked();
  chainsNote->setVisible(on);
  chainsTable->setVisible(on);
  if (on) {
    chainsNote->raise();
    chainsTable->raise();
    chainsChanged();
  }
}

void ChainsView::chainsChanged() {
  const auto current = currentChainsInputs();
  if (job_.shown() && current == job_.shown()) return;
  if (job_.shown()) clearChainsDisplay();
  chainsWanted_ = chainsView->isChecked() && host_.shownPage() == kSummaryPage && current.has_value();
  // the summary (or a file being read) has the lane: the table follows once it is free
  if (chainsWanted_ && !jobs_->busy(JobRunner::Lane::analysis)) ComputeChainsTable();
}

void ChainsView::clearChainsDisplay() {
  job_.forget();
  chainsTable->clear();
  chainsTable->setRowCount(0);
  chainsTable->setColumnCount(0);
  chainsNote->clear();
}

void ChainsView::ComputeChainsTable() {
  chainsWanted_ = false;
  const auto inputs = currentChainsInputs();
  if (!inputs) return;
  clearChainsDisplay();
  chainsNote->setText("Computing the chains table...");
  const TableLayout layout{FileKind::fst, state.populationCount, state.factorCount, state.hasInteraction};

  PageJob<ChainsInputs>::Run run;
  run.title = "Computing the chains table";
  run.compute = [this, inputs = *inputs, layout](Progress& progress) -> JobRunner::Apply {
    auto comparison = std::make_shared<ChainComparison>(
        compareChains(inputs.summary.chains, layout, inputs.summary.modelFilter, 2, progress));
    if (!comparison->error.empty()) throw std::runtime_error(comparison->error);
    return [this, comparison] { applyChainsTable(*comparison); };
  };
  // the rows, filter, factors or chains changed while it ran: it describes nothing on screen
  run.stale = [this] {
    chainsNote->clear();
    chainsChanged();
  };
  run.failed = [this](const std::string& error) {
    chainsNote->clear();
    reportError(QString("The chains table of \"%1\" cannot be computed: %2")
                    .arg(QString::fromStdString(state.dataFileName), QString::fromStdString(error)));
  };
  run.cancelled = [this] {
    chainsNote->clear();
    setPassingStatus("The chains table was cancelled.");
  };
  if (!job_.start(*inputs, std::move(run))) chainsWanted_ = true;
}

void ChainsView::applyChainsTable(const ChainComparison& comparison) {
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

}  // namespace varno
