// "Save results as...": the results report, chosen in the save dialog or named after the data file
// in the unattended run.
#include <QFileInfo>
#include <QLineEdit>

#include "report/atomic_write.h"
#include "report/output_target.h"
#include "report/provenance_record.h"
#include "report/results_report.h"
#include "stats/text_numbers.h"
#include "ui/details_page.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"
#include "ui/window_report_record.h"

namespace varno {

void TForm3::save_resClick() {
  SaveDialog->defaultExt = ".txt";
  SaveDialog->filter = "Text file |*.txt";

  // a report of an analysis that is not there, or not summarised, would be made of stale numbers
  if (!state.open() || state.kind() != FileKind::fst) {
    reportError("There are no results to save: open an .fst file first.");
    return;
  }
  if (refuseWhileBusy()) return;
  const auto burnIn = burnRange_.burnIn;
  const auto burnOut = burnRange_.burnOut;
  if (!burnIn || !burnOut) {
    reportError(QString("The results were not saved: the %1 \"%2\" is not a whole number.")
                    .arg(!burnIn ? "burn-in" : "burn-out", !burnIn ? details_->Cutin->text() : details_->Cutout->text()));
    return;
  }
  // the report gives the summary of the rows, filter and factors chosen now: computed first when
  // the one in hand describes anything else
  if (!summary_->summaryIsCurrent()) {
    summary_->ComputeModelSummary([this] {
      if (summary_->summaryIsCurrent()) save_resClick();
    });
    return;
  }
  ReportInputs inputs = reportInputsFrom(state, static_cast<int>(*burnIn), static_cast<int>(*burnOut));
  countPooledRows(retainedChains(*burnIn, *burnOut), inputs);
  if (const auto missing = reportPrecondition(inputs)) {
    reportError("The results were not saved: " + QString::fromStdString(*missing));
    return;
  }

  std::string path;
  if (state.batchMode) {
    path = batchReportName(state.dataFileName);
  } else {
    // offered under the name it was last saved under, never a graph's
    SaveDialog->lastFileName =
        reportName_.isEmpty() ? QFileInfo(QString::fromStdString(batchReportName(state.dataFileName))).fileName()
                              : reportName_;
    SaveDialog->selectedFilter.clear();
    dialogFolders_.prepare(*SaveDialog, DialogPurpose::saveResults, QString::fromStdString(state.dataFileName));
    const auto chosen = dialogs_.saveFile(this, *SaveDialog);
    if (!chosen) return;
    SaveDialog->lastFileName = reportName_ = *chosen;
    dialogFolders_.remember(DialogPurpose::saveResults, *chosen);
    path = withDefaultExtension(*chosen, SaveDialog->defaultExt).toStdString();
  }
  if (const auto input = inputFileTargeted(path, analysisInputs(state))) {
    reportError("The results were not saved: " + QString::fromStdString(*input) + ".");
    return;
  }
  // the record's place is checked before the report is written: a refused save writes nothing
  if (writeRecord_->isChecked()) {
    if (const auto fault = recordTargetFault(path)) {
      reportError("The results were not saved: " + QString::fromStdString(*fault));
      return;
    }
  }
  if (const auto error = writeFileAtomically(path, buildResultsReport(inputs))) {
    reportError(QString::fromStdString(*error));
    return;
  }
  if (writeRecord_->isChecked()) writeReportRecord(path, *burnIn, *burnOut);
  if (state.batchMode) setStatus("Report written to " + QString::fromStdString(path));
}

std::optional<std::string> TForm3::recordTargetFault(const std::string& reportPath) const {
  const std::string recordPath = recordPathBeside(reportPath);
  if (absolutePath(recordPath) == absolutePath(reportPath))
    return "a report named .json would be replaced by its record; save it under another extension.";
  if (const auto input = inputFileTargeted(recordPath, analysisInputs(state))) return *input + ".";
  return std::nullopt;
}

void TForm3::writeReportRecord(const std::string& reportPath, long long burnIn, long long burnOut) {
  const std::string recordPath = recordPathBeside(reportPath);
  const auto fault = [&](const std::string& why) {
    reportError("The report was saved, but not its record: " + QString::fromStdString(why));
  };
  if (const auto target = recordTargetFault(reportPath)) return fault(*target);
  std::string why;
  const std::optional<ProvenanceRecord> record = windowReportRecord(state, burnIn, burnOut, reportPath, &why);
  if (!record) return fault(why + ".");
  if (const auto error = writeFileAtomically(recordPath, provenanceJson(*record))) fault(*error);
}

}  // namespace varno
