// Drawing of the interval series.
#include "charts/interval_series.h"

#include "charts/chart_setup.h"

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

// end markers: 1 pixel wide, 10 pixels high
constexpr int kMarkerWidth = 1;
constexpr int kMarkerHeight = 10;

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

QColor IntervalSeries::drawnColour(const Item& item) const {
  const QColor colour = item.color.isValid() ? item.color : QColor(Qt::red);
  // an interval in the background's colour would vanish from the chart
  const QColor background = parentPlot() ? chartBackground(parentPlot()) : QColor();
  if (background.isValid() && background.rgb() == colour.rgb()) return QColor(128, 128, 128);
  return colour;
}

namespace {

// The relative luminance of a colour (sRGB), and the contrast ratio of two: 1 for equal colours,
// 21 for black on white.
double luminance(const QColor& colour) {
  const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Below this contrast with the background an interval gets a dark outline: yellow and white on the
// window's grey, yellow on white.
constexpr double kOutlineContrast = 1.5;
const QColor kOutlineColour(60, 60, 60);

}  // namespace

bool IntervalSeries::outlined(const Item& item) const {
  const QColor background = parentPlot() ? chartBackground(parentPlot()) : QColor();
  return background.isValid() && contrast(drawnColour(item), background) < kOutlineContrast;
}

QFont IntervalSeries::labelFont() const { return parentPlot() ? parentPlot()->font() : QFont(); }

QRectF IntervalSeries::labelRect(const Item& item, const QFontMetricsF& metrics) const {
  const QPointF a = coordsToPixels(item.start, item.y);
  const QPointF b = coordsToPixels(item.end, item.y);
  const double right = std::max(a.x(), b.x()) + 4;
  const double baseline = a.y() + metrics.ascent() / 2.0 - 1;
  return QRectF(right, baseline - metrics.ascent(), metrics.horizontalAdvance(item.label), metrics.height());
}

std::vector<IntervalSeries::LabelPlacement> IntervalSeries::labelPlacements(const QFontMetricsF& metrics) const {
  std::vector<LabelPlacement> candidates;
  if (!mKeyAxis || !mValueAxis) return {};
  const QRect clip = clipRect();
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    if (item.label.isEmpty() || !std::isfinite(item.start) || !std::isfinite(item.end) || !std::isfinite(item.y))
      continue;
    const QRectF rect = labelRect(item, metrics);
    if (rect.bottom() < clip.top() || rect.top() > clip.bottom()) continue;
    candidates.push_back({i, rect});
  }
  // from the top of the chart down, so that "every k-th" follows the populations' order
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const LabelPlacement& p, const LabelPlacement& q) { return p.rect.top() < q.rect.top(); });
  // the smallest step k for which every k-th label keeps clear of the others
  for (std::size_t k = 1; k <= std::max<std::size_t>(1, candidates.size()); ++k) {
    std::vector<LabelPlacement> chosen;
    for (std::size_t j = 0; j < candidates.size(); j += k) chosen.push_back(candidates[j]);
    bool clear = true;
    for (std::size_t j = 1; j < chosen.size() && clear; ++j) {
      // sorted by top: only those that start above this one's bottom can meet it
      for (std::size_t i = j; i-- > 0;) {
        if (chosen[i].rect.bottom() <= chosen[j].rect.top() - metrics.height()) break;
        if (chosen[i].rect.intersects(chosen[j].rect)) {
          clear = false;
          break;
        }
      }
    }
    if (clear) return chosen;
  }
  return {};
}

int IntervalSeries::itemAt(const QPointF& pixel) const {
  if (!mKeyAxis || !mValueAxis) return -1;
  constexpr double kReach = 4;  // pixels
  int best = -1;
  double bestDistance = kReach + 1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    if (!std::isfinite(item.start) || !std::isfinite(item.end) || !std::isfinite(item.y)) continue;
    const QPointF a = coordsToPixels(item.start, item.y);
    const QPointF b = coordsToPixels(item.end, item.y);
    const double left = std::min(a.x(), b.x()) - kReach, right = std::max(a.x(), b.x()) + kReach;
    const double distance = std::abs(pixel.y() - a.y());
    if (pixel.x() < left || pixel.x() > right || distance > kReach) continue;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
    }
  }
  return best;
}

void IntervalSeries::draw(QCPPainter* painter) {
  QCPAxis* keyAxis = mKeyAxis.data();
  QCPAxis* valueAxis = mValueAxis.data();
  if (!keyAxis || !valueAxis) return;
  const QRect clip = clipRect();
  for (const Item& item : items_) {
    if (!std::isfinite(item.start) || !std::isfinite(item.end) || !std::isfinite(item.y)) continue;
    const QPointF a = coordsToPixels(item.start, item.y);
    const QPointF b = coordsToPixels(item.end, item.y);
    if (std::max(a.y(), b.y()) < clip.top() - kMarkerHeight ||
        std::min(a.y(), b.y()) > clip.bottom() + kMarkerHeight)
      continue;
    if (outlined(item)) {
      // two pixels of dark edge on each side, under the interval, keep its colour and show its extent
      QPen edge(kOutlineColour);
      edge.setWidthF(6);
      painter->setPen(edge);
      painter->setBrush(kOutlineColour);
      painter->drawLine(a, b);
      for (const QPointF& p : {a, b})
        painter->drawRect(QRectF(p.x() - kMarkerWidth / 2.0, p.y() - kMarkerHeight / 2.0, kMarkerWidth, kMarkerHeight));
    }
    QPen pen(drawnColour(item));
    pen.setWidthF(2);
    painter->setPen(pen);
    painter->drawLine(a, b);
    // rectangle end markers
    pen.setWidthF(kMarkerWidth);
    painter->setPen(pen);
    painter->setBrush(pen.color());
    for (const QPointF& p : {a, b}) {
      painter->drawRect(QRectF(p.x() - kMarkerWidth / 2.0, p.y() - kMarkerHeight / 2.0, kMarkerWidth,
                               kMarkerHeight));
    }
  }
  painter->setPen(QPen(Qt::black));
  painter->setFont(labelFont());
  const QFontMetricsF metrics(labelFont());
  for (const LabelPlacement& label : labelPlacements(metrics)) {
    painter->drawText(QPointF(label.rect.left(), label.rect.top() + metrics.ascent()), items_[label.item].label);
  }
}

void IntervalSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
  painter->setPen(QPen(Qt::red, 2));
  painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

}  // namespace varno
