// Drawing a chart into a new image and writing it as a BMP file.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

class QCustomPlot;

namespace varno {

// The chart drawn anew at `size` (it lays itself out for that area) into a new image that starts
// white. A null image when the size is empty.
QImage renderChart(QCustomPlot* chart, QSize size);

// The name an image is saved under: the chosen name when it ends in ".bmp" (any case), otherwise
// with ".bmp" appended, so that no file carries the extension of another format.
QString bmpFileName(const QString& chosen);

// Writes the image as a BMP file, whole or not at all. On failure returns a message naming the
// path and the reason; a file already at `path` is then left as it was.
std::optional<QString> writeBmp(const QImage& image, const QString& path);

}  // namespace varno
