// A chart series of horizontal intervals (start, end, height, label, colour) with rectangle end
// markers and visible labels; one plottable draws all items, so hundreds of intervals stay cheap.
#pragma once

#include <QColor>
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
  void add(const Item& item) { items_.push_back(item); }
  void setItems(std::vector<Item> items) { items_ = std::move(items); }
  const std::vector<Item>& items() const { return items_; }

  // end markers: 1 pixel wide, 10 pixels high
  int markerWidth = 1;
  int markerHeight = 10;
  bool labelsVisible = true;

  double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details) const override;
  QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const override;
  QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                         const QCPRange& inKeyRange) const override;

 protected:
  void draw(QCPPainter* painter) override;
  void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

 private:
  std::vector<Item> items_;
};

}  // namespace varno
