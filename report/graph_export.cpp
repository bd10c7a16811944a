// Chart images: drawing a chart off screen at any size and saving it as a BMP file.
#include "report/graph_export.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <qcustomplot.h>

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

std::optional<QString> writeBmp(const QImage& image, const QString& path) {
  const QString shown = QDir::toNativeSeparators(path);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "BMP")) {
    return QString("Cannot write the image %1: the chart has no area to draw").arg(shown);
  }

  // the file appears only once complete: a failed write leaves no half image behind
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return QString("Cannot write the image %1: %2").arg(shown, file.errorString());
  }
  if (file.write(bytes) != bytes.size() || !file.commit()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return QString("Cannot write the image %1: %2").arg(shown, reason);
  }
  return std::nullopt;
}

}  // namespace varno
