// The commands that save a chart as a figure (PNG, SVG, PDF or BMP), and "Print graph".
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QPrinter>
#include <qcustomplot.h>

#include "charts/chart_export.h"
#include "charts/chart_print.h"
#include "charts/chart_setup.h"
#include "charts/window_charts.h"
#include "report/output_target.h"
#include "ui/details_page.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"
#include "ui/summary_page.h"

namespace varno {

namespace {

// The "Scale" choice: PNG images at the designed sizes or at twice their pixels.
const QStringList kScaleChoices = {"1× (designed size)", "2× (twice the pixels)"};

}  // namespace

// The figure is laid out before the dialog opens, so it shows the chart as it was when the
// command was chosen; the Summary charts are laid out at twice their size.
void TForm3::saveChartFigure(QCustomPlot* chart, int sizeFactor, const QString& figureName,
                             const QString& figureTitle) {
  FileDialogSpec& dialog = *SaveDialog;
  // the results report leaves its own settings on the shared dialog
  dialog.filter = chartFileFilter();
  const ChartFormat lastFormat = formatOfFilter(graphFilter_).value_or(ChartFormat::png);
  dialog.defaultExt = QString(".") + chartFormatInfo(lastFormat).extension;
  dialog.selectedFilter = graphFilter_;
  dialog.lastFileName = figureFileName(QString::fromStdString(state.dataFileName), figureName, lastFormat);
  dialog.choiceLabel = "Scale:";
  dialog.choices = kScaleChoices;
  dialog.choice = graphScale_;
  dialogFolders_.prepare(dialog, DialogPurpose::saveGraph, QString::fromStdString(state.dataFileName));

  const QSize size = chart->size() * sizeFactor;
  // the vectors and the pixels are drawn now; only the chosen one is kept
  struct Drawn {
    ChartFormat format;
    double ratio;
    QByteArray bytes;
  };
  std::vector<Drawn> drawn;
  {
    const FigureTitle title(chart, figureTitle);
    for (const ChartFormatInfo& info : chartFormats()) {
      if (info.format == ChartFormat::png) {
        for (double ratio : {1.0, 2.0}) drawn.push_back({info.format, ratio, chartBytes(chart, info.format, size, ratio)});
      } else {
        drawn.push_back({info.format, 1.0, chartBytes(chart, info.format, size)});
      }
    }
  }

  const std::optional<QString> chosen = dialogs_.saveFile(this, dialog);
  dialog.choices.clear();
  if (!chosen) return;
  graphScale_ = std::clamp(dialog.choice, 0, static_cast<int>(kScaleChoices.size()) - 1);
  const ChartTarget target = chartTarget(*chosen, dialog.selectedFilter);
  graphFilter_ = chartFormatInfo(target.format).description;
  dialog.lastFileName = target.path;
  dialogFolders_.remember(DialogPurpose::saveGraph, target.path);
  if (const auto input = inputFileTargeted(target.path.toStdString(), analysisInputs(state))) {
    dialogs_.error(this, "The image was not saved: " + QString::fromStdString(*input) + ".");
    return;
  }
  const double ratio = target.format == ChartFormat::png && graphScale_ == 1 ? 2.0 : 1.0;
  for (const Drawn& d : drawn) {
    if (d.format != target.format || d.ratio != ratio) continue;
    if (const auto error = writeChartFile(d.bytes, target.path)) dialogs_.error(this, *error);
    return;
  }
}

QString TForm3::mainChartTitle() const {
  const QString column = details_->columnTitle();
  if (column.isEmpty()) return QString();
  return details_->chartPurpose(column);
}

void TForm3::SaveClick() {
  const int column = details_->shownColumn().value_or(details_->xi->currentIndex() + 1);
  // the figure names its column, as the chooser does on screen
  const QString title = mainChartTitle();
  setChartPurpose(details_->Chart1, title);
  saveChartFigure(details_->Chart1, 1, columnFigureName(column), title);
}
void TForm3::g1_saveClick() { saveChartFigure(summary_->G1_graph, 2, kG1FigureName); }
void TForm3::g2_saveClick() { saveChartFigure(summary_->G2_graph, 2, kG2FigureName); }
void TForm3::hpdi_saveClick() { saveChartFigure(summary_->Chart4, 2, kHpdiFigureName); }
void TForm3::model_saveClick() { saveChartFigure(summary_->Chart3, 2, kModelFigureName); }

QCustomPlot* TForm3::chartToPrint() const {
  // the chart under the mouse, when it is one of the window's and on show
  for (QWidget* w = QApplication::widgetAt(QCursor::pos()); w; w = w->parentWidget()) {
    for (QCustomPlot* chart : allCharts()) {
      if (w == chart && chart->isVisible()) return chart;
    }
  }
  return details_->Chart1;
}

void TForm3::PrintClick() {
  QCustomPlot* chart = chartToPrint();
  const QString title = chart == details_->Chart1 ? mainChartTitle() : QString();
  if (chart == details_->Chart1) setChartPurpose(details_->Chart1, title);
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(chartPurpose(chart));
  if (!dialogs_.choosePrinter(this, printer)) return;
  const FigureTitle named(chart, title);
  if (!printChart(chart, printer))
    dialogs_.error(this, "The graph was not printed: the printer could not be started.");
}

}  // namespace varno
