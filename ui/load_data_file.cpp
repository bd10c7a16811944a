// Reading the data file into the analysis, as a background job: the table, file name and caption
// are replaced only when the file was read and accepted.
#include <QLineEdit>
#include <QTabWidget>
#include <cstdio>

#include "core/coda_reader.h"
#include "core/data_file_reader.h"
#include "core/factor_decision_hint.h"
#include "core/factors_file.h"
#include "core/read_notes.h"
#include "stats/data_range.h"
#include "stats/model_column_check.h"
#include "ui/details_page.h"
#include "ui/job_runner.h"
#include "ui/open_flow_snapshot.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"

namespace varno {

namespace {

// What to check when the factor decision does not fit the data file.
std::string decisionHintOf(const AnalysisState& state) {
  const std::string text = state.factorFileName.empty() ? std::string() : readTextFile(state.factorFileName).value_or("");
  return factorDecisionHint({state.factorCount, state.factorMode, state.factorFileName, text}, HintVoice::window);
}

// A file read on the worker, with what the window needs to know about it before accepting it.
struct FileRead {
  DataFileReadResult read;
  ModelColumnCheck models;
  TForm3::IndexChains chains;
};

// An index and the chain files beside it: chain 1 as the table read, the others as its chains.
void readIndexedChains(const std::string& path, Progress& progress, FileRead& file) {
  CodaReadResult coda = readCoda(path, progress);
  if (coda.chains.empty()) {
    file.read.error = std::move(coda.error);
    return;
  }
  file.read.table = coda.chains.front().table;
  for (CodaChain& chain : coda.chains) file.chains.push_back({chain.fileName, std::move(chain.table)});
}

}  // namespace

bool TForm3::LoadDataFile(LoadPlan plan, std::shared_ptr<const OpenFlowSnapshot> before) {
  const std::string path = plan.path.toStdString();
  // the factor decision places the model column: fractions there mean it does not fit the file
  const bool fst = lowerCasedExtension(path) == ".fst";
  const FactorDecision decision{state.factorCount, state.hasInteraction};
  const std::string burnIn = details_->Cutin->text().toStdString(), burnOut = details_->Cutout->text().toStdString();

  JobRunner::Job job;
  job.title = "Reading " + plan.path;
  job.work = [this, path, plan, before, fst, decision, burnIn, burnOut](Progress& progress) -> JobRunner::Apply {
    auto file = std::make_shared<FileRead>();
    if (!fst && isCodaIndex(path))
      readIndexedChains(path, progress, *file);
    else
      file->read = readDataFile(path, progress);
    if (fst && file->read.table) {
      const SampleTable& table = *file->read.table;
      file->models = checkModelColumn(table, TableLayout::fst(table.columnCount(), decision),
                                      retainedRowsOnOpen(burnIn, burnOut, table.rowCount()));
    }
    return [this, plan, before, file] { dataFileRead(plan, *before, file->read, file->models, file->chains); };
  };
  job.failed = [this, before, plan](const std::string& error) {
    before->restore(*this);
    const QString text = QString("\"%1\" was not read: %2").arg(plan.path, QString::fromStdString(error));
    setStatus(text);
    reportError(text);
  };
  job.cancelled = [this, before, plan] {
    before->restore(*this);
    setPassingStatus("Reading " + plan.path + " was cancelled; the analysis open before is kept.");
    analysisChanged();
  };
  if (!jobs_->start(JobRunner::Lane::analysis, std::move(job))) {
    refuseWhileBusy();
    return false;
  }
  setStatus("Reading " + plan.path + " ...");
  return true;
}

void TForm3::dataFileRead(const LoadPlan& plan, const OpenFlowSnapshot& before, DataFileReadResult& read,
                          const ModelColumnCheck& models, const IndexChains& chains) {
  const auto refuse = [&](const QString& text) {
    before.restore(*this);
    setStatus("Not read: " + text);
    reportError(text);
    analysisChanged();
  };
  if (!read.table) return refuse(QString::fromStdString(read.error));
  if (plan.newAnalysis) setDataFile(plan.path, plan.captionPrefix);
  if (!catalogueAccepts(*read.table)) {
    before.restore(*this);
    analysisChanged();
    return;
  }
  if (models.mismatch)
    return refuse(QString("\"%1\": %2: %3")
                      .arg(plan.path, QString::fromStdString(*models.mismatch),
                           QString::fromStdString(decisionHintOf(state))));

  std::shared_ptr<const SampleTable> table = std::move(read.table);
  // a new analysis has one chain, or those of its index; a reload reads its further chains again
  // after this one
  state.chains = chains.empty() ? IndexChains{{plan.path.toStdString(), table}} : chains;
  state.columnCount = table->columnCount();
  // the results of the analysis open before describe another table: none of them may show
  state.modelProbabilities = {};
  state.bestModel = 0;
  state.sigmaSummary = {};
  state.fstSummary.reset(0);
  state.coefficientSummary.reset(static_cast<std::size_t>(state.factorCount) + 1);
  summary_->clearSummaryDisplay();
  details_->forgetFigures();
  if (plan.newAnalysis) state.modelFilter = 0;

  QString status = state.chainCount() > 1
                       ? plan.path + ": " + chainsStatus()
                       : QString("%1: %2 \u00D7 %3")
                             .arg(plan.path, QString::fromStdString(groupedCount(table->rowCount(), "row", "rows")),
                                  QString::fromStdString(groupedCount(state.columnCount, "column", "columns")));
  std::vector<std::string> notes = readNotes(read);
  if (models.rowsOutsideModels > 0) notes.push_back(rowsOutsideModelsNote(models.rowsOutsideModels, models.modelCount));
  for (const std::string& note : notes) {
    status += "; " + QString::fromStdString(note);
    // a pipeline that started the window reads its standard error, not a status line
    if (unattendedRun_ || state.batchMode)
      std::fprintf(stderr, "varno-plot: warning: %s: %s\n", plan.path.toLocal8Bit().constData(), note.c_str());
  }
  if (const auto cleared = fitDataRangeToRows(shortestChainRows())) status += "; " + *cleared;
  setStatus(status);

  if (plan.newAnalysis) rememberRecentFile();
  state.reloading = !plan.newAnalysis;
  state.reloadColumnIndex = plan.reloadColumnIndex;
  BuildColumnCatalogue();
  if (plan.page >= 0) selectPage(plan.page);
  if (plan.then) plan.then();
  state.reloading = false;
  analysisChanged();
}

}  // namespace varno
