// A chart series of horizontal intervals (start, end, height, label, colour) with rectangle end
// markers and labels; one plottable draws all items, so hundreds of intervals stay cheap. Labels
// that would overlap are thinned to every k-th interval; a colour equal to the chart's background
// is drawn in a mid grey, and one close to it gets a dark outline.
#pragma once

#include <QColor>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <qcustomplot.h>
#include <vector>

namespace varno {

class IntervalSeries : public QCPAbstractPlottable {
  Q_OBJECT
 public:
  struct Item {
    double start = 0;
    double end = 0;
    double y = 0;
    QString label;
    QColor color;
  };

  IntervalSeries(const QString& name, QCPAxis* keyAxis, QCPAxis* valueAxis);

  void clear() { items_.clear(); }
  void setItems(std::vector<Item> items) { items_ = std::move(items); }
  const std::vector<Item>& items() const { return items_; }

  // Where each drawn label goes: the item it names and its rectangle in pixels, for the chart as
  // it is laid out now.
  struct LabelPlacement {
    std::size_t item;
    QRectF rect;
  };
  std::vector<LabelPlacement> labelPlacements(const QFontMetricsF& metrics) const;
  QFont labelFont() const;  // the chart's font

  // The item whose line passes within a few pixels of `pixel`, or -1.
  int itemAt(const QPointF& pixel) const;

  // The colour an item is drawn in on the current background.
  QColor drawnColour(const Item& item) const;
  // True when that colour lies too close to the background to be seen alone: the item is then
  // drawn with a dark outline, its colour kept.
  bool outlined(const Item& item) const;

  double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                         const QCPRange& inKeyRange) const override;

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  // The label's rectangle for an item whose right end is at `right` and line at `y`, in pixels.
  QRectF labelRect(const Item& item, const QFontMetricsF& metrics) const;

  std::vector<Item> items_;
};

}  // namespace varno
