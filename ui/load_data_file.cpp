// Reading the data file into the analysis, as a background job: the table, file name and caption
// are replaced only when the file was read and accepted.
#include <QLocale>
#include <QTabWidget>
#include <cstdio>

#include "core/data_file_reader.h"
#include "stats/data_range.h"
#include "ui/job_runner.h"
#include "ui/open_flow_snapshot.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

QString grouped(long long n) { return QLocale(QLocale::English).toString(n); }

}  // namespace

bool TForm3::LoadDataFile(LoadPlan plan, std::shared_ptr<const OpenFlowSnapshot> before) {
  const std::string path = plan.path.toStdString();
  JobRunner::Job job;
  job.title = "Reading " + plan.path;
  job.work = [this, path, plan, before](JobControl& control) -> JobRunner::Apply {
    auto read = std::make_shared<DataFileReadResult>(readDataFile(path, [&control](int percent) {
      control.setPercent(percent);
      control.throwIfCancelled();
    }));
    return [this, plan, before, read] { dataFileRead(plan, *before, *read); };
  };
  job.failed = [this, before, plan](const std::string& error) {
    before->restore(*this);
    const QString text = QString("\"%1\" was not read: %2").arg(plan.path, QString::fromStdString(error));
    setStatus(text);
    reportError(text);
  };
  job.cancelled = [this, before, plan] {
    before->restore(*this);
    setStatus("Reading " + plan.path + " was cancelled; the analysis open before is kept.");
    analysisChanged();
  };
  if (!jobs_->start(JobRunner::Lane::analysis, std::move(job))) {
    refuseWhileBusy();
    return false;
  }
  setStatus("Reading " + plan.path + " ...");
  return true;
}

void TForm3::dataFileRead(const LoadPlan& plan, const OpenFlowSnapshot& before,
                          DataFileReadResult& read) {
  if (!read.table) {
    before.restore(*this);
    setStatus("Not read: " + QString::fromStdString(read.error));
    reportError(QString::fromStdString(read.error));
    analysisChanged();
    return;
  }
  if (plan.newAnalysis) setDataFile(plan.path, plan.captionPrefix);
  if (!catalogueAccepts(*read.table)) {
    before.restore(*this);
    analysisChanged();
    return;
  }

  std::shared_ptr<const SampleTable> table = std::move(read.table);
  state.table = table;
  state.rowCount = table->rowCount();
  state.columnCount = table->columnCount();
  // the results of the analysis open before describe another table: none of them may show
  state.modelProbabilities = {};
  state.bestModel = 0;
  state.sigmaSummary = {};
  state.fstSummary.reset(0);
  state.coefficientSummary.reset(static_cast<std::size_t>(state.factorCount) + 1);
  summaryShown_.reset();
  figuresShown_.reset();
  figuresWanted_.reset();
  if (plan.newAnalysis) state.modelFilter = 0;

  QString status = QString("%1: %2 rows \u00D7 %3 columns")
                       .arg(plan.path, grouped(state.rowCount), grouped(state.columnCount));
  if (read.stoppedEarly) {
    const QString stop = QString("reading stopped at line %1: %2")
                             .arg(grouped(read.stoppedEarly->line),
                                  QString::fromStdString(read.stoppedEarly->reason));
    status += "; " + stop;
    if (unattendedRun_ || state.batchMode)
      std::fprintf(stderr, "varno-plot: warning: %s: %s\n", plan.path.toLocal8Bit().constData(), stop.toLocal8Bit().constData());
  }
  if (const auto cleared = fitDataRangeToRows(state.rowCount)) status += "; " + *cleared;
  setStatus(status);

  state.reloading = !plan.newAnalysis;
  state.reloadColumnIndex = plan.reloadColumnIndex;
  BuildColumnCatalogue();
  if (plan.page >= 0) selectPage(plan.page);
  if (plan.then) plan.then();
  state.reloading = false;
  analysisChanged();
}

}  // namespace varno
