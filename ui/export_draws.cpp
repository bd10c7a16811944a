// File > "Export retained draws...": every chain's retained draws as one tab-separated file,
// written as a background job.
#include <stdexcept>

#include "report/draws_export.h"
#include "report/output_target.h"
#include "report/summary_table.h"
#include "stats/chain_rows.h"
#include "ui/dialog_folders.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace varno {

void TForm3::exportDrawsClick() {
  if (!state.open()) {
    reportError("There are no draws to export: open a data file first.");
    return;
  }
  if (refuseWhileBusy()) return;
  QString problem;
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
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
