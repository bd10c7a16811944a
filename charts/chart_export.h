// Chart figures: drawing a chart off screen and writing it as PNG, SVG, PDF or BMP.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

class QCustomPlot;

namespace varno {

enum class ChartFormat { png, svg, pdf, bmp };

struct ChartFormatInfo {
  ChartFormat format;
  const char* description;  // the filter's description, as the dialog shows it
  const char* extension;    // without the point
};

// The formats in the order a save dialog offers them.
const std::vector<ChartFormatInfo>& chartFormats();
const ChartFormatInfo& chartFormatInfo(ChartFormat format);

// The dialog filter of every format: "PNG image|*.png|SVG image|*.svg|...".
QString chartFileFilter();

// The format a path's extension names (any case); nothing for another or no extension.
std::optional<ChartFormat> formatOfPath(const QString& path);
// The format whose filter description is `description`; nothing for an unknown one.
std::optional<ChartFormat> formatOfFilter(const QString& description);

// The format a chosen path is written in, and the path it is written to: the typed extension when
// it names a format, otherwise the chosen filter's format with its extension appended.
struct ChartTarget {
  QString path;
  ChartFormat format;
};
ChartTarget chartTarget(const QString& chosen, const QString& chosenFilter);

// The name a chart's figure is offered or written under: "lake_fst_hpdi.png" for the chart
// "fst_hpdi" of the data file "lake.fst"; the chart's name alone when no file is open.
QString figureFileName(const QString& dataFile, const QString& chartName, ChartFormat format);

// The chart drawn anew at `size` (it lays itself out for that area) into a new image that starts
// white, `pixelRatio` pixels a point: an image of size x pixelRatio. A null image when the size is
// empty.
QImage renderChart(QCustomPlot* chart, QSize size, double pixelRatio = 1);

// The bytes of the chart as a file of `format`, laid out at `size`. Raster formats get
// size x pixelRatio pixels (BMP is always at ratio 1); SVG and PDF are vectors of that size.
// Empty when the size is empty or the format cannot be produced.
QByteArray chartBytes(QCustomPlot* chart, ChartFormat format, QSize size, double pixelRatio = 1);

// Writes the bytes whole or not at all. On failure returns a message naming the path and the
// reason; a file already at `path` is then left as it was.
std::optional<QString> writeChartFile(const QByteArray& bytes, const QString& path);

}  // namespace varno
