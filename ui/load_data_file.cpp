// Reading the data file into the analysis: the table is replaced only when the file was read.
#include <QCoreApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include "core/data_file_reader.h"
#include "core/factors_file.h"
#include "core/read_notes.h"
#include "stats/data_range.h"
#include "stats/model_column_check.h"
#include "ui/model_summary_run.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

// What to check when the factor decision does not fit the data file.
std::string factorDecisionHint(const AnalysisState& state) {
  const std::string text = state.factorFileName.empty() ? std::string() : readTextFile(state.factorFileName).value_or("");
  if (state.factorCount == 0 && (state.factorFileName.empty() || countFactorLines(text) > 0))
    return "it was opened without environmental factors; if it was written with them, open it again and choose "
           "its factors file";
  if (state.factorMode != -1)
    return "the factor mode of the command line does not fit it; was the data file written with another one?";
  return factorsFileHint(state.factorFileName, text);
}

}  // namespace

bool TForm3::LoadDataFile() {
  if (loading_) return false;
  waitForSummary();  // the summary in progress must not see its table replaced
  loading_ = true;
  const QString path = QString::fromStdString(state.dataFileName);
  setStatus("Reading " + path + " ...");
  DataFileReadResult result = readDataFile(state.dataFileName, [] {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  });
  loading_ = false;
  if (closeRequested_) QTimer::singleShot(0, this, &QWidget::close);

  if (!result.table) {
    setStatus("Not read: " + QString::fromStdString(result.error));
    reportError(QString::fromStdString(result.error));
    return false;
  }
  if (!catalogueAccepts(*result.table)) return false;
  // the factor decision places the model column: fractions there mean it does not fit the file
  ModelColumnCheck models;
  if (fileKindOf(lowerCasedExtension(state.dataFileName)) == FileKind::fst) {
    models = checkModelColumn(
        *result.table, result.table->columnCount() - state.factorCount - 5, {state.factorCount, state.hasInteraction},
        retainedRowsOnOpen(Cutin->text().toStdString(), Cutout->text().toStdString(), result.table->rowCount()));
    if (models.mismatch) {
      const QString text = QString("\"%1\": %2: %3")
                               .arg(path, QString::fromStdString(*models.mismatch),
                                    QString::fromStdString(factorDecisionHint(state)));
      setStatus("Not read: " + text);
      reportError(text);
      return false;
    }
  }

  std::shared_ptr<const SampleTable> table = std::move(result.table);
  state.table = table;
  state.rowCount = table->rowCount();
  state.columnCount = table->columnCount();
  fitDataRangeToRows(state.rowCount);

  QString status = QString("%1: %2 \u00D7 %3")
                       .arg(path, QString::fromStdString(groupedCount(state.rowCount, "row", "rows")),
                            QString::fromStdString(groupedCount(state.columnCount, "column", "columns")));
  std::vector<std::string> notes = readNotes(result);
  if (models.rowsOutsideModels > 0) notes.push_back(rowsOutsideModelsNote(models.rowsOutsideModels, models.modelCount));
  for (const std::string& note : notes) status += "; " + QString::fromStdString(note);
  setStatus(status);

  inLoad_ = true;
  BuildColumnCatalogue();
  if (Pages->currentIndex() == 1) ComputeModelSummary();
  inLoad_ = false;
  return true;
}

}  // namespace varno
