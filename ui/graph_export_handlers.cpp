// The commands that save a chart as an image, and "Print graph".
#include <qcustomplot.h>

#include "report/graph_export.h"
#include "report/output_target.h"
#include "ui/dialogs.h"
#include "ui/file_dialog_spec.h"
#include "ui/plotwin2.h"

namespace varno {

namespace {

// The image is made before the dialog opens, so it shows the chart as it was when the command
// was chosen; the Summary charts are saved at twice their size.
void saveChartImage(TForm3& form, Dialogs& dialogs, QCustomPlot* chart, int scale) {
  FileDialogSpec& dialog = *form.SaveDialog;
  // the results report leaves its own text settings on the shared dialog
  dialog.filter = "BMP image|*.bmp";
  dialog.defaultExt = ".bmp";

  const QImage image = renderChart(chart, chart->size() * scale);

  const std::optional<QString> chosen = dialogs.saveFile(&form, dialog);
  if (!chosen) return;
  const QString path = bmpFileName(*chosen);
  dialog.lastFileName = path;
  if (const auto input = inputFileTargeted(path.toStdString(), analysisInputs(form.state))) {
    dialogs.error(&form, "The image was not saved: " + QString::fromStdString(*input) + ".");
    return;
  }
  if (const auto error = writeBmp(image, path)) dialogs.error(&form, *error);
}

}  // namespace

void TForm3::SaveClick() { saveChartImage(*this, dialogs_, Chart1, 1); }
void TForm3::g1_saveClick() { saveChartImage(*this, dialogs_, G1_graph, 2); }
void TForm3::g2_saveClick() { saveChartImage(*this, dialogs_, G2_graph, 2); }
void TForm3::hpdi_saveClick() { saveChartImage(*this, dialogs_, Chart4, 2); }
void TForm3::model_saveClick() { saveChartImage(*this, dialogs_, Chart3, 2); }

// Printing is offered in the menu but does nothing.
void TForm3::PrintClick() {}

}  // namespace varno
