// File > "Save diagnostics table...": the Diagnostics page's table of the current inputs as CSV,
// computed first when the page shows none.
#include <stdexcept>

#include "report/atomic_write.h"
#include "report/output_target.h"
#include "report/summary_table.h"
#include "ui/diagnostics_contents.h"
#include "ui/diagnostics_page.h"
#include "ui/dialog_folders.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno {

void TForm3::diag_saveClick() {
  if (!state.open()) {
    reportError("There is no diagnostics table to save: open a data file first.");
    return;
  }
  if (refuseWhileBusy()) return;
  // the file gives the diagnostics of the rows, filter and factors chosen now
  if (!diagnostics_->diagnosticsIsCurrent()) {
    diagnostics_->ComputeDiagnostics([this] {
      if (diagnostics_->diagnosticsIsCurrent()) diag_saveClick();
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
  job.work = [this, path, contents = diagnostics_->contents()](Progress& progress) -> JobRunner::Apply {
    const std::string text = formatSummaryTable(contents->rows, SummaryFormat::csv, diagnosticsColumns());
    progress.stopIfCancelled();
    if (const auto error = writeFileAtomically(path, text)) throw std::runtime_error(*error);
    return [this, path] { setStatus("Diagnostics table written to " + QString::fromStdString(path)); };
  };
  job.failed = [this](const std::string& error) { reportError(QString::fromStdString(error)); };
  job.cancelled = [this] { setStatus("The diagnostics table was not saved."); };
  jobs_->start(JobRunner::Lane::analysis, std::move(job));
}

}  // namespace varno
