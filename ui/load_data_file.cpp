// Reading the data file into the analysis, as a background job: the table, file name and caption
// are replaced only when the file was read and accepted.
#include <QLineEdit>
#include <QTabWidget>
#include <cstdio>

#include "core/read_notes.h"
#include "report/open_analysis.h"
#include "ui/details_page.h"
#include "ui/following.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"

namespace varno {

// The analysis opened on the worker, or why it was refused.
struct TForm3::FileOpened {
  std::optional<RunError> refused;
  OpenedAnalysis analysis;
  std::vector<OpenWarning> warnings;
};

bool TForm3::LoadDataFile(LoadPlan plan) {
  // the file is opened as the tool opens it, with the factors the user's answers decided; the
  // window fits a burn range that leaves too few rows, and says so, where the tool refuses it
  AnalysisRequest request;
  request.dataPath = plan.path.toStdString();
  request.voice = HintVoice::window;
  request.fitRange = true;
  // an edit that is not a whole number keeps every row, as 0 and 0 do
  if (burnRange_.valid()) {
    request.burnIn = *burnRange_.burnIn;
    request.burnOut = *burnRange_.burnOut;
  }
  if (fileKindOf(lowerCasedExtension(request.dataPath)) == FileKind::fst) {
    request.decision = plan.factors.decision;
    request.factorMode = plan.factors.mode;
    request.factorsPath = plan.factors.file;
  }

  JobRunner::Job job;
  job.title = "Reading " + plan.path;
  job.work = [this, plan, request](Progress& progress) -> JobRunner::Apply {
    auto file = std::make_shared<FileOpened>();
    file->refused = openAnalysis(request, file->analysis, file->warnings, progress);
    return [this, plan, file] { dataFileRead(plan, *file); };
  };
  job.failed = [this, plan](const std::string& error) {
    const QString text = QString("\"%1\" was not read: %2").arg(plan.path, QString::fromStdString(error));
    setStatus(text);
    reportError(text);
  };
  job.cancelled = [this, plan] {
    setPassingStatus("Reading " + plan.path + " was cancelled; the analysis open before is kept.");
    analysisChanged();
  };
  if (!jobs_->start(JobRunner::Lane::analysis, std::move(job))) {
    refuseWhileBusy();
    return false;
  }
  stopFollowing();  // the files followed are read anew, or another analysis replaces them
  setStatus("Reading " + plan.path + " ...");
  return true;
}

void TForm3::dataFileRead(const LoadPlan& plan, const FileOpened& file) {
  if (file.refused) {
    const QString text = QString::fromStdString(file.refused->message);
    setStatus("Not read: " + text);
    reportError(text);
    analysisChanged();
    return;
  }
  if (plan.newAnalysis) setDataFile(plan.path, plan.captionPrefix);
  // the factors chosen for this file are the analysis's now
  state.factorFileName = plan.factors.file;
  state.factorMode = plan.factors.mode;
  state.factorCount = plan.factors.decision.factorCount;
  state.hasInteraction = plan.factors.decision.hasInteraction;

  const OpenedAnalysis& opened = file.analysis;
  // the files as far as these tables hold them, for following them from here
  following_->follower.emplace(opened);
  // a new analysis has one chain, or those of its index; a reload reads its further chains again
  // after these
  state.chains.clear();
  for (std::size_t c = 0; c < opened.chains.size(); ++c)
    state.chains.push_back({opened.chainFiles[c], opened.chains[c].table});
  const SampleTable& table = *state.firstTable();
  state.columnCount = table.columnCount();
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
                             .arg(plan.path, QString::fromStdString(groupedCount(table.rowCount(), "row", "rows")),
                                  QString::fromStdString(groupedCount(state.columnCount, "column", "columns")));
  // every warning of the window's request is about the data file, which the status line names
  for (const OpenWarning& warning : file.warnings) {
    status += "; " + QString::fromStdString(warning.note);
    // a pipeline that started the window reads its standard error, not a status line
    if (unattendedRun_ || state.batchMode)
      std::fprintf(stderr, "varno-plot: warning: %s: %s\n", plan.path.toLocal8Bit().constData(), warning.note.c_str());
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
