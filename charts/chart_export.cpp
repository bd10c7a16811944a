// Chart figures in four formats, written through the same safe writer as the report.
#include "charts/chart_export.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include "charts/chart_setup.h"
#include "report/atomic_write.h"

namespace varno {

const std::vector<ChartFormatInfo>& chartFormats() {
  static const std::vector<ChartFormatInfo> formats = {
      {ChartFormat::png, "PNG image", "png"},
      {ChartFormat::svg, "SVG image", "svg"},
      {ChartFormat::pdf, "PDF document", "pdf"},
      {ChartFormat::bmp, "BMP image", "bmp"},
  };
  return formats;
}

const ChartFormatInfo& chartFormatInfo(ChartFormat format) {
  for (const ChartFormatInfo& info : chartFormats()) {
    if (info.format == format) return info;
  }
  return chartFormats().front();
}

QString chartFileFilter() {
  QStringList parts;
  for (const ChartFormatInfo& info : chartFormats())
    parts << info.description << QString("*.") + info.extension;
  return parts.join('|');
}

std::optional<ChartFormat> formatOfPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  for (const ChartFormatInfo& info : chartFormats()) {
    if (suffix.compare(info.extension, Qt::CaseInsensitive) == 0) return info.format;
  }
  return std::nullopt;
}

std::optional<ChartFormat> formatOfFilter(const QString& description) {
  // the toolkit may hand back the description with its patterns in parentheses
  const QString name = description.section('(', 0, 0).trimmed();
  for (const ChartFormatInfo& info : chartFormats()) {
    if (name == info.description) return info.format;
  }
  return std::nullopt;
}

ChartTarget chartTarget(const QString& chosen, const QString& chosenFilter) {
  if (const auto typed = formatOfPath(chosen)) return {chosen, *typed};
  const ChartFormat format = formatOfFilter(chosenFilter).value_or(ChartFormat::png);
  QString path = chosen;
  if (!path.endsWith('.')) path += '.';
  return {path + chartFormatInfo(format).extension, format};
}

QString figureFileName(const QString& dataFile, const QString& chartName, ChartFormat format) {
  const QString base = QFileInfo(dataFile).completeBaseName();
  return (base.isEmpty() ? chartName : base + "_" + chartName) + "." + chartFormatInfo(format).extension;
}

QImage renderChart(QCustomPlot* chart, QSize size, double pixelRatio) {
  if (size.isEmpty() || !(pixelRatio > 0)) return {};
  QImage image(size * pixelRatio, QImage::Format_RGB32);
  image.fill(Qt::white);
  QCPPainter painter(&image);
  painter.scale(pixelRatio, pixelRatio);
  chart->toPainter(&painter, size.width(), size.height());
  painter.end();
  // the drawing left the chart laid out for the image: lay it out again for the screen, where the
  // mouse maps to its axes
  chart->replot();
  return image;
}

namespace {

QByteArray svgBytes(QCustomPlot* chart, QSize size) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(chartPurpose(chart));
  QCPPainter painter(&svg);
  painter.setMode(QCPPainter::pmVectorized);
  chart->toPainter(&painter, size.width(), size.height());
  painter.end();
  chart->replot();
  return bytes;
}

// QCustomPlot's own PDF output writes to a file: it is made in a private folder and read back, so
// that the target is still written whole or not at all.
QByteArray pdfBytes(QCustomPlot* chart, QSize size) {
  QTemporaryDir dir;
  if (!dir.isValid()) return {};
  const QString path = dir.filePath("chart.pdf");
  const bool written = chart->savePdf(path, size.width(), size.height(), QCP::epNoCosmetic,
                                      "VARNO v2.0 Plot Window", chartPurpose(chart));
  chart->replot();
  QFile file(path);
  if (!written || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

QByteArray rasterBytes(QCustomPlot* chart, QSize size, double pixelRatio, const char* format) {
  const QImage image = renderChart(chart, size, pixelRatio);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, format)) return {};
  return bytes;
}

}  // namespace

QByteArray chartBytes(QCustomPlot* chart, ChartFormat format, QSize size, double pixelRatio) {
  if (size.isEmpty()) return {};
  switch (format) {
    case ChartFormat::png:
      return rasterBytes(chart, size, pixelRatio, "PNG");
    case ChartFormat::bmp:
      return rasterBytes(chart, size, 1, "BMP");
    case ChartFormat::svg:
      return svgBytes(chart, size);
    case ChartFormat::pdf:
      return pdfBytes(chart, size);
  }
  return {};
}

std::optional<QString> writeChartFile(const QByteArray& bytes, const QString& path) {
  if (bytes.isEmpty()) {
    return QString("Cannot write the image %1: the chart has no area to draw")
        .arg(QDir::toNativeSeparators(path));
  }
  // the same writer as the report: whole or nothing, links followed, devices never replaced
  if (auto error = writeFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size())))
    return "The image was not saved: " + QString::fromStdString(*error);
  return std::nullopt;
}

}  // namespace varno
