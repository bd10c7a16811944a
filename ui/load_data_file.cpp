// Reading the data file into the analysis: the table is replaced only when the file was read.
#include <QCoreApplication>
#include <QLocale>
#include <QTabWidget>
#include <QTimer>

#include "core/data_file_reader.h"
#include "ui/model_summary_run.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

QString grouped(long long n) { return QLocale(QLocale::English).toString(n); }

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

  std::shared_ptr<const SampleTable> table = std::move(result.table);
  state.table = table;
  state.rowCount = table->rowCount();
  state.columnCount = table->columnCount();
  fitDataRangeToRows(state.rowCount);

  QString status = QString("%1: %2 rows \u00D7 %3 columns")
                       .arg(path, grouped(state.rowCount), grouped(state.columnCount));
  if (result.stoppedEarly) {
    status += QString("; reading stopped at line %1: %2")
                  .arg(grouped(result.stoppedEarly->line),
                       QString::fromStdString(result.stoppedEarly->reason));
  }
  setStatus(status);

  inLoad_ = true;
  BuildColumnCatalogue();
  if (Pages->currentIndex() == 1) ComputeModelSummary();
  inLoad_ = false;
  return true;
}

}  // namespace varno
