// Designed settings shared by the window's charts.
#include "ui/chart_setup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <vector>
#include <qcustomplot.h>

#include "stats/axis_number_format.h"

namespace varno {

namespace {

class GroupedNumberTicker : public QCPAxisTicker {
 protected:
  QString getTickLabel(double tick, const QLocale&, QChar, int) override {
    return QString::fromStdString(groupedAxisNumber(tick));
  }
};

// Pans a chart while the middle button is held.
class MiddleButtonPan : public QObject {
 public:
  explicit MiddleButtonPan(QCustomPlot* chart) : QObject(chart), chart_(chart) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::MiddleButton) return false;
        panning_ = true;
        start_ = e->position();
        x_ = chart_->xAxis->range();
        y_ = chart_->yAxis->range();
        return true;
      }
      case QEvent::MouseMove: {
        if (!panning_) return false;
        auto* e = static_cast<QMouseEvent*>(event);
        const double dx = chart_->xAxis->pixelToCoord(start_.x()) -
                          chart_->xAxis->pixelToCoord(e->position().x());
        const double dy = chart_->yAxis->pixelToCoord(start_.y()) -
                          chart_->yAxis->pixelToCoord(e->position().y());
        chart_->xAxis->setRange(x_.lower + dx, x_.upper + dx);
        chart_->yAxis->setRange(y_.lower + dy, y_.upper + dy);
        chart_->replot(QCustomPlot::rpQueuedReplot);
        return true;
      }
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::MiddleButton) return false;
        panning_ = false;
        return true;
      case QEvent::MouseButtonDblClick:
        fitAxesToData(chart_);
        chart_->replot();
        return true;
      default:
        return false;
    }
  }

 private:
  QCustomPlot* chart_;
  bool panning_ = false;
  QPointF start_;
  QCPRange x_, y_;
};

}  // namespace

QCustomPlot* makeChart(const QString& name, QWidget* parent) {
  auto* chart = new QCustomPlot(parent);
  chart->setObjectName(name);
  chart->legend->setVisible(false);
  chart->setAutoAddPlottableToLegend(false);
  chart->setBackground(QApplication::palette().color(QPalette::Window));
  chart->xAxis->grid()->setVisible(true);
  chart->yAxis->grid()->setVisible(true);
  chart->setContextMenuPolicy(Qt::CustomContextMenu);
  chart->setNoAntialiasingOnDrag(true);
  return chart;
}

void enableZoomAndPan(QCustomPlot* chart) {
  chart->setSelectionRectMode(QCP::srmZoom);
  chart->installEventFilter(new MiddleButtonPan(chart));
}

void useGroupedAxisNumbers(QCustomPlot* chart) {
  chart->yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new GroupedNumberTicker));
}

namespace {
constexpr char kContextProperty[] = "varnoContextOnly";
}

void markAsContext(QCPAbstractPlottable* plottable) { plottable->setProperty(kContextProperty, true); }

void fitAxesToData(QCustomPlot* chart, double margin) {
  std::vector<QCPAbstractPlottable*> context;
  for (int i = 0; i < chart->plottableCount(); ++i) {
    QCPAbstractPlottable* p = chart->plottable(i);
    if (p->visible() && p->property(kContextProperty).toBool()) {
      context.push_back(p);
      p->setVisible(false);
    }
  }
  chart->rescaleAxes(true);
  for (QCPAbstractPlottable* p : context) {
    p->setVisible(true);
    bool found = false;
    const QCPRange keys = p->getKeyRange(found);
    if (!found) continue;
    QCPRange x = chart->xAxis->range();
    x.expand(keys);
    chart->xAxis->setRange(x);
  }
  for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) {
    const QCPRange r = axis->range();
    const double pad = r.size() > 0 ? r.size() * margin : (r.lower == 0 ? 1 : std::abs(r.lower) * 0.05);
    if (pad > 0) axis->setRange(r.lower - pad, r.upper + pad);
  }
}

}  // namespace varno
