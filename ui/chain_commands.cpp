// Several chains of one analysis: File > "Add chain...", the chains of the command line and of a
// drop, and what the window says about them. A chain that does not fit leaves the analysis as it was.
#include <QAction>
#include <QLineEdit>
#include <QLocale>

#include "core/chain_match.h"
#include "core/coda_reader.h"
#include "core/data_file_reader.h"
#include "core/input_file.h"
#include "core/read_notes.h"
#include "stats/data_range.h"
#include "stats/model_column_check.h"
#include "ui/details_page.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno {

std::vector<ChainRows> TForm3::retainedChains(long long burnIn, long long burnOut) const {
  return retainedChainRows(state.chainTables(), burnIn, burnOut);
}

int TForm3::shortestChainRows() const {
  int rows = state.open() ? state.firstTable()->rowCount() : 0;
  for (const auto& chain : state.chains) rows = std::min(rows, chain.table->rowCount());
  return rows;
}

QString TForm3::chainsStatus() const {
  const QLocale english(QLocale::English);
  QStringList counts;
  for (const auto& chain : state.chains) counts << english.toString(chain.table->rowCount());
  return QString("%1 chains: %2 rows \u00D7 %3")
      .arg(state.chainCount())
      .arg(counts.join(" + "), QString::fromStdString(groupedCount(state.columnCount, "column", "columns")));
}

void TForm3::AddChainClick() {
  if (refuseWhileBusy()) return;
  if (!state.open()) {
    reportError("Open a data file first: a chain is added to the analysis open in the window.");
    return;
  }
  // an analysis opened from an index takes further chain files of that index
  OpenDialog->filter = state.chainsFromIndex()
                           ? "CODA chain (*chain*.txt)|*chain*.txt|Other(*.*)|*.*"
                           : "Fst file (*.fst)|*.fst|Frequences file (*.frq)|*.frq|Other(*.*)|*.*";
  dialogFolders_.prepare(*OpenDialog, DialogPurpose::openData, QString::fromStdString(state.dataFileName));
  const auto chosen = dialogs_.openFile(this, *OpenDialog);
  if (!chosen) return;
  dialogFolders_.remember(DialogPurpose::openData, *chosen);
  addChainFile(*chosen);
}

bool TForm3::addChainFile(const QString& path, std::function<void()> then) {
  const std::string first = state.dataFileName;
  const auto refuse = [this](const QString& text) {
    setStatus("Not added: " + text);
    reportError(text);
  };
  if (!state.open()) {
    refuse(QString("\"%1\": no analysis is open to add it to as a chain").arg(path));
    return false;
  }
  if (auto why = chainKindMismatch(first, path.toStdString())) {
    refuse(QString::fromStdString(*why));
    return false;
  }
  const std::string file = path.toStdString();
  // one file read as two chains would count its draws twice
  std::vector<std::string> files = state.chainFileNames();
  files.push_back(file);
  if (auto why = repeatedChainFile(files)) {
    refuse(QString::fromStdString(*why));
    return false;
  }
  // the factor decision places the model column: a chain written with other factors does not fit
  const bool fst = state.kind() == FileKind::fst;
  const FactorDecision decision{state.factorCount, state.hasInteraction};
  const std::string burnIn = details_->Cutin->text().toStdString(), burnOut = details_->Cutout->text().toStdString();
  JobRunner::Job job;
  job.title = "Reading " + path;
  // a chain of an analysis opened from an index is a chain file of that index
  const std::string index = state.chainsFromIndex() ? first : std::string();
  job.work = [this, file, first, index, path, then, fst, decision, burnIn, burnOut](Progress& progress) -> JobRunner::Apply {
    auto read = std::make_shared<DataFileReadResult>();
    if (index.empty()) {
      *read = readDataFile(file, progress);
    } else {
      CodaReadResult coda = readCoda(index, {file}, progress);
      read->error = std::move(coda.error);
      if (!coda.chains.empty()) read->table = std::move(coda.chains.front().table);
    }
    auto models = std::make_shared<ModelColumnCheck>();
    if (fst && read->table && TableLayout::fst(read->table->columnCount(), decision).populationCount >= 0) {
      const SampleTable& table = *read->table;
      *models = checkModelColumn(table, TableLayout::fst(table.columnCount(), decision),
                                 retainedRowsOnOpen(burnIn, burnOut, table.rowCount()));
    }
    return [this, read, models, file, first, path, then] {
      const auto refuse = [this](const QString& text) {
        setStatus("Not added: " + text);
        reportError(text);
      };
      // the analysis it was read for was replaced meanwhile
      if (state.dataFileName != first || !state.open()) return refuse(QString("\"%1\" was not added: the analysis changed").arg(path));
      if (!read->table) return refuse(QString("\"%1\" was not read: %2").arg(path, QString::fromStdString(read->error)));
      if (auto why = chainMismatch(first, state.columnCount, file, read->table->columnCount()))
        return refuse(QString::fromStdString(*why));
      if (models->mismatch)
        return refuse(QString("\"%1\": %2: was the chain written with the factors of the first chain?")
                          .arg(path, QString::fromStdString(*models->mismatch)));
      state.chains.push_back({file, std::move(read->table)});
      QString status = chainsStatus();
      std::vector<std::string> notes = readNotes(*read);
      if (models->rowsOutsideModels > 0)
        notes.push_back(rowsOutsideModelsNote(models->rowsOutsideModels, models->modelCount));
      for (const std::string& note : notes) status += "; " + path + ": " + QString::fromStdString(note);
      setStatus(status);
      // burn-in and burn-out must leave rows in the shortest chain too
      if (const auto cleared = fitDataRangeToRows(shortestChainRows())) setStatus(status + "; " + *cleared);
      if (then) {
        then();
      } else {
        details_->replotAtDefaultBandwidth();  // the pooled sample sets the default now
        analysisChanged();
      }
    };
  };
  job.failed = [refuse, path](const std::string& error) {
    refuse(QString("\"%1\" was not read: %2").arg(path, QString::fromStdString(error)));
  };
  job.cancelled = [this, path] { setPassingStatus("Reading " + path + " was cancelled; the analysis is kept as it was."); };
  if (!jobs_->start(JobRunner::Lane::analysis, std::move(job))) {
    refuseWhileBusy();
    return false;
  }
  setStatus("Reading " + path + " ...");
  return true;
}

void TForm3::addChainFiles(QStringList paths, std::function<void()> then) {
  if (paths.isEmpty()) {
    details_->replotAtDefaultBandwidth();  // the pooled sample sets the default now
    analysisChanged();
    if (then) then();
    return;
  }
  const QString next = paths.takeFirst();
  addChainFile(next, [this, paths, then] { addChainFiles(paths, then); });
}

}  // namespace varno
