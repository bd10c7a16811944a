// Drawing of the interval series.
#include "ui/interval_series.h"

#include <algorithm>
#include <cmath>

namespace varno {

IntervalSeries::IntervalSeries(const QString& name, QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis) {
  setObjectName(name);
  setName(name);
}

double IntervalSeries::selectTest(const QPointF&, bool, QVariant*) const { return -1; }

namespace {

// Widens `range` to hold v when v is finite and of the sign asked for.
void include(QCPRange& range, bool& found, double v, QCP::SignDomain domain) {
  if (!std::isfinite(v)) return;
  if (domain == QCP::sdPositive && v <= 0) return;
  if (domain == QCP::sdNegative && v >= 0) return;
  if (!found) {
    range = QCPRange(v, v);
    found = true;
  } else {
    range.expand(v);
  }
}

}  // namespace

QCPRange IntervalSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const {
  QCPRange range;
  foundRange = false;
  for (const Item& item : items_) {
    include(range, foundRange, item.start, inSignDomain);
    include(range, foundRange, item.end, inSignDomain);
  }
  return range;
}

QCPRange IntervalSeries::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                       const QCPRange&) const {
  QCPRange range;
  foundRange = false;
  for (const Item& item : items_) include(range, foundRange, item.y, inSignDomain);
  if (foundRange) range = QCPRange(range.lower - 1, range.upper + 1);  // room for the end items
  return range;
}

void IntervalSeries::draw(QCPPainter* painter) {
  QCPAxis* keyAxis = mKeyAxis.data();
  QCPAxis* valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) return;
  const QRect clip = clipRect();
  const QFontMetrics metrics(painter->font());
  for (const Item& item : items_) {
    if (!std::isfinite(item.start) || !std::isfinite(item.end) || !std::isfinite(item.y)) continue;
    const QPointF a = coordsToPixels(item.start, item.y);
    const QPointF b = coordsToPixels(item.end, item.y);
    if (std::max(a.y(), b.y()) < clip.top() - markerHeight ||
        std::min(a.y(), b.y()) > clip.bottom() + markerHeight)
      continue;
    QPen pen(item.color.isValid() ? item.color : QColor(Qt::red));
    pen.setWidthF(2);
    painter->setPen(pen);
    painter->drawLine(a, b);
    // rectangle end markers
    pen.setWidthF(markerWidth);
    painter->setPen(pen);
    painter->setBrush(pen.color());
    for (const QPointF& p : {a, b}) {
      painter->drawRect(QRectF(p.x() - markerWidth / 2.0, p.y() - markerHeight / 2.0, markerWidth,
                               markerHeight));
    }
    if (labelsVisible && !item.label.isEmpty()) {
      painter->setPen(QPen(Qt::black));
      const double right = std::max(a.x(), b.x()) + 4;
      painter->drawText(QPointF(right, a.y() + metrics.ascent() / 2.0 - 1), item.label);
    }
  }
}

void IntervalSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  painter->setPen(QPen(Qt::red, 2));
  painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

}  // namespace varno
