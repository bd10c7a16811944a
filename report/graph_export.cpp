// Chart images: drawing a chart off screen at any size and saving it as a BMP file.
#include "report/graph_export.h"

#include <QBuffer>
#include <QDir>
#include <qcustomplot.h>

#include "report/atomic_write.h"

namespace varno {

QImage renderChart(QCustomPlot* chart, QSize size) {
  if (size.isEmpty()) return {};
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QCPPainter painter(&image);
  chart->toPainter(&painter, size.width(), size.height());
  painter.end();
  // the drawing left the chart laid out for the image: lay it out again for the screen, where the
  // mouse maps to its axes
  chart->replot();
  return image;
}

QString bmpFileName(const QString& chosen) {
  if (chosen.isEmpty() || chosen.endsWith(".bmp", Qt::CaseInsensitive)) return chosen;
  return chosen + ".bmp";
}

std::optional<QString> writeBmp(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "BMP")) {
    return QString("Cannot write the image %1: the chart has no area to draw")
        .arg(QDir::toNativeSeparators(path));
  }
  // the same writer as the report: whole or nothing, links followed, devices never replaced
  if (auto error = writeFileAtomically(path.toStdString(), std::string_view(bytes.constData(), bytes.size())))
    return "The image was not saved: " + QString::fromStdString(*error);
  return std::nullopt;
}

}  // namespace varno
