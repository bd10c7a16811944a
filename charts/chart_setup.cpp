// Designed settings shared by the window's charts.
#include "charts/chart_setup.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QSet>
#include <vector>
#include <qcustomplot.h>

#include "stats/axis_number_format.h"

namespace varno {

namespace {

// One number style on every axis of every chart: at most four decimals and no blank between the
// thousands ("2500", as the statistics write it), with more digits where the ticks need them to
// differ.
class DistinctLabelTicker : public QCPAxisTicker {
 protected:
  QVector<QString> createLabelVector(const QVector<double>& ticks, const QLocale&, QChar, int) override {
    QVector<QString> labels;
    for (double tick : ticks) labels << plain(groupedAxisNumber(tick));
    if (QSet<QString>(labels.begin(), labels.end()).size() == labels.size()) return labels;
    const std::vector<std::string> distinct = distinctAxisLabels(std::vector<double>(ticks.begin(), ticks.end()));
    for (qsizetype i = 0; i < labels.size(); ++i) labels[i] = plain(distinct[i]);
    return labels;
  }

 private:
  static QString plain(const std::string& grouped) { return QString::fromStdString(grouped).remove(' '); }
};

// QCustomPlot's own starting range: what an axis shows while its chart has nothing to show.
const QCPRange kEmptyAxisRange(0, 5);
constexpr const char* kPurposeProperty = "varnoPurpose";

constexpr const char* kBackgroundProperty = "varnoBackground";

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

void useWindowFont(QWidget* widget) {
  QFont font = widget->font();
  font.setPointSize(8);
  widget->setFont(font);
}

QCustomPlot* makeChart(const QString& name, QWidget* parent) {
  auto* chart = new QCustomPlot(parent);
  chart->setObjectName(name);
  chart->legend->setVisible(false);
  chart->setAutoAddPlottableToLegend(false);
  setChartBackground(chart, QApplication::palette().color(QPalette::Window));
  for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) {
    axis->setTicker(QSharedPointer<QCPAxisTicker>(new DistinctLabelTicker));
    axis->setRange(kEmptyAxisRange);
  }
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

void setChartPurpose(QCustomPlot* chart, const QString& purpose) { chart->setProperty(kPurposeProperty, purpose); }

QString chartPurpose(const QCustomPlot* chart) {
  const QString purpose = chart->property(kPurposeProperty).toString();
  if (!purpose.isEmpty()) return purpose;
  if (const auto* title = chart->findChild<QCPTextElement*>(chart->objectName() + "_title");
      title && !title->text().isEmpty())
    return title->text();
  return chart->objectName();
}

void setChartBackground(QCustomPlot* chart, const QColor& colour) {
  chart->setBackground(colour);
  chart->setProperty(kBackgroundProperty, colour);
}

QColor chartBackground(const QCustomPlot* chart) {
  return chart->property(kBackgroundProperty).value<QColor>();
}

namespace {
constexpr char kContextProperty[] = "varnoContextOnly";
}

void markAsContext(QCPAbstractPlottable* plottable) { plottable->setProperty(kContextProperty, true); }

void fitAxesToData(QCustomPlot* chart, double margin) {
  // nothing to show: the empty axes, not the last data's range widened once more
  bool anything = false;
  for (int i = 0; i < chart->plottableCount() && !anything; ++i) {
    QCPAbstractPlottable* p = chart->plottable(i);
    bool found = false;
    if (p->visible()) p->getKeyRange(found);
    anything = found;
  }
  if (!anything) {
    chart->xAxis->setRange(kEmptyAxisRange);
    chart->yAxis->setRange(kEmptyAxisRange);
    return;
  }
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
