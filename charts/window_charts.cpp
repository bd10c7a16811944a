// The window's charts: their designed look and how results are put into them.
#include "charts/window_charts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include <QColor>
#include <QFileInfo>
#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <qcustomplot.h>

#include "charts/chart_setup.h"
#include "charts/interval_series.h"
#include "stats/number_format.h"

namespace varno {

namespace {

QCustomPlot* titledChart(const QString& name, QWidget* parent, QRect geometry, const QString& title,
                         int titlePoints) {
  QCustomPlot* chart = makeChart(name, parent);
  chart->setGeometry(geometry);
  chart->plotLayout()->insertRow(0);
  auto* t = new QCPTextElement(chart, title, QFont(parent->font().family(), titlePoints));
  t->setObjectName(name + "_title");
  t->setTextColor(Qt::black);
  chart->plotLayout()->addElement(0, 0, t);
  return chart;
}

// The tooltip under the mouse names the interval there, whether or not its label is drawn.
class IntervalToolTips : public QObject {
 public:
  IntervalToolTips(QCustomPlot* chart, IntervalSeries* series) : QObject(chart), chart_(chart), series_(series) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const int i = series_->itemAt(help->pos());
    if (i < 0) {
      QToolTip::hideText();
      event->ignore();
      return true;
    }
    QToolTip::showText(help->globalPos(), intervalText(series_->items()[static_cast<std::size_t>(i)]), chart_);
    return true;
  }

 private:
  static QString intervalText(const IntervalSeries::Item& item) {
    return QString("%1: %2 to %3")
        .arg(item.label, QString::fromStdString(generalFormat(item.start, 4)),
             QString::fromStdString(generalFormat(item.end, 4)));
  }

  QCustomPlot* chart_;
  IntervalSeries* series_;
};

}  // namespace

QString columnFigureName(int column) { return "column_" + QString::number(column); }

QString mainChartPurpose(const QString& columnName, PlotType type) {
  switch (type) {
    case PlotType::trace:
      return "Trace of " + columnName;
    case PlotType::runningMean:
      return "Running mean of " + columnName;
    case PlotType::histogram:
      return "Histogram of " + columnName;
    case PlotType::density:
      return "Density of " + columnName;
    case PlotType::autocorrelation:
      return "Autocorrelation of " + columnName;
  }
  return columnName;
}

FigureTitle::FigureTitle(QCustomPlot* chart, const QString& text) {
  // a chart with its own title keeps it
  if (!chart || text.isEmpty() || chart->findChild<QCPTextElement*>(chart->objectName() + "_title")) return;
  chart_ = chart;
  chart->plotLayout()->insertRow(0);
  title_ = new QCPTextElement(chart, text, QFont(chart->font().family(), 10));
  title_->setTextColor(Qt::black);
  chart->plotLayout()->addElement(0, 0, title_);
}

FigureTitle::~FigureTitle() {
  if (!chart_) return;
  chart_->plotLayout()->remove(title_);
  chart_->plotLayout()->simplify();
  chart_->replot();
}

MainChart makeMainChart(QWidget* parent) {
  MainChart main;
  main.chart = makeChart("Chart1", parent);
  main.chart->setGeometry(24, 188, 609, 545);
  enableZoomAndPan(main.chart);
  main.serie = main.chart->addGraph();
  main.serie->setObjectName("Serie");
  main.serie->setName("Serie");
  main.serie->setPen(QPen(QColor(255, 0, 0)));
  main.serie->setLineStyle(QCPGraph::lsLine);
  main.serie->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
  main.histogram = new QCPBars(main.chart->xAxis, main.chart->yAxis);
  main.histogram->setObjectName("histogram");
  main.histogram->setName("hist");
  main.histogram->setPen(QPen(QColor(255, 0, 0)));
  main.histogram->setBrush(Qt::white);
  main.histogram->setWidthType(QCPBars::wtPlotCoords);
  return main;
}

FactorChart makeFactorChart(QWidget* parent, int factor) {
  const bool first = factor == 1;
  const QString g = first ? "G1" : "G2";
  FactorChart f;
  f.chart = titledChart(g + "_graph", parent, first ? QRect(3, 89, 389, 310) : QRect(396, 89, 389, 310),
                        "Fst against " + g, 12);
  f.chart->xAxis->setLabel(g);
  f.chart->yAxis->setLabel(factorValueAxisName(true));
  enableZoomAndPan(f.chart);
  f.serie = f.chart->addGraph();
  f.serie->setObjectName(g + "_serie");
  f.serie->setName(g + "_serie");
  f.serie->setLineStyle(QCPGraph::lsNone);
  QPen pen(QColor(255, 0, 0), 2);
  f.serie->setPen(pen);
  // the second chart's crosses are filled
  f.serie->setScatterStyle(first ? QCPScatterStyle(QCPScatterStyle::ssCross, pen, Qt::NoBrush, 8)
                                 : QCPScatterStyle(QCPScatterStyle::ssCross, pen, QBrush(Qt::red), 8));
  return f;
}

HpdiChart makeHpdiChart(QWidget* parent) {
  HpdiChart h;
  h.chart = titledChart("Chart4", parent, QRect(1, 405, 389, 321), "95% HPDI for Fst coefficients", 10);
  setChartPurpose(h.chart, "Fst HPDI by population");
  enableZoomAndPan(h.chart);
  h.hpdis = new IntervalSeries("hpdis", h.chart->xAxis, h.chart->yAxis);
  h.chart->installEventFilter(new IntervalToolTips(h.chart, h.hpdis));
  return h;
}

ModelChart makeModelChart(QWidget* parent) {
  ModelChart m;
  m.chart = titledChart("Chart3", parent, QRect(394, 405, 389, 321), "Posterior model probability", 10);
  m.model = new QCPBars(m.chart->xAxis, m.chart->yAxis);
  m.model->setObjectName("model");
  m.model->setName("model");
  m.model->setWidthType(QCPBars::wtPlotCoords);
  m.model->setWidth(1.0);
  m.model->setPen(QPen(QColor(255, 0, 0)));
  m.model->setBrush(QColor(255, 0, 0));
  return m;
}

ColumnLine columnLineData(const ColumnFigures& figures) {
  if (figures.bars || figures.lines.empty()) return columnLineData({}, {});
  return columnLineData(figures.lines.front().x, figures.lines.front().y);
}

ColumnLine columnLineData(const std::vector<double>& x, const std::vector<double>& ys) {
  ColumnLine line;
  line.data = QSharedPointer<QCPGraphDataContainer>::create();
  if (ys.empty()) return line;
  QVector<QCPGraphData> points(static_cast<qsizetype>(ys.size()));
  double low = ys.front(), high = ys.front();
  for (std::size_t i = 0; i < ys.size(); ++i) {
    const double y = ys[i];
    points[static_cast<qsizetype>(i)] = QCPGraphData(x.empty() ? static_cast<double>(i) : x[i], y);
    if (y < low) low = y;
    if (y > high) high = y;
  }
  line.keys = QCPRange(points.front().key, points.back().key);
  line.values = QCPRange(low, high);
  line.data->set(points, true);
  return line;
}

void showColumnLine(const MainChart& main, const ColumnLine& line, std::optional<QCPRange> contextKeys) {
  main.histogram->setVisible(false);
  main.serie->setVisible(true);
  main.serie->setData(line.data);
  // the ranges come with the points: the same fit as fitAxesToData without a pass over them
  QCPRange keys = line.keys;
  if (contextKeys) keys.expand(*contextKeys);
  for (auto [axis, range] : {std::pair{main.chart->xAxis, keys}, std::pair{main.chart->yAxis, line.values}}) {
    const double pad = range.size() > 0 ? 0 : (range.lower == 0 ? 1 : std::abs(range.lower) * 0.05);
    axis->setRange(range.lower - pad, range.upper + pad);
  }
  main.chart->replot();
}

std::vector<QCPGraph*> showChainLines(const MainChart& main, const std::vector<ColumnLine>& lines,
                                      const std::vector<std::string>& files, const std::vector<QCPGraph*>& previous,
                                      const std::vector<ColumnLine>& outside) {
  QCustomPlot* chart = main.chart;
  for (QCPGraph* g : previous) chart->removeGraph(g);
  chart->legend->setVisible(!lines.empty());
  std::vector<QCPGraph*> drawn;
  if (lines.empty()) return drawn;
  main.serie->setVisible(false);
  main.histogram->setVisible(false);
  std::optional<QCPRange> keys;
  const auto widen = [&keys](const QCPRange& range) {
    if (keys) {
      keys->expand(range);
    } else {
      keys = range;
    }
  };
  QCPRange values;
  // drawn first, so that every chain's sample lies above the rows left out of any
  for (std::size_t c = 0; c < outside.size() && c < lines.size(); ++c) {
    if (!outside[c].data || outside[c].data->isEmpty()) continue;
    QCPGraph* g = chart->addGraph();
    g->setData(outside[c].data);
    g->setPen(QPen(chainColour(static_cast<int>(c)).lighter(170)));
    g->setLineStyle(main.serie->lineStyle());
    g->setScatterStyle(main.serie->scatterStyle());
    markAsContext(g);
    drawn.push_back(g);
    widen(outside[c].keys);
  }
  std::vector<QCPGraph*> named;
  for (std::size_t c = 0; c < lines.size(); ++c) {
    QCPGraph* g = chart->addGraph();
    g->setData(lines[c].data);
    g->setPen(QPen(chainColour(static_cast<int>(c))));
    g->setLineStyle(main.serie->lineStyle());
    g->setScatterStyle(main.serie->scatterStyle());
    const QString file = c < files.size() ? QFileInfo(QString::fromStdString(files[c])).fileName() : QString();
    g->setName(QString("chain %1: %2").arg(c + 1).arg(file));
    drawn.push_back(g);
    named.push_back(g);
    widen(lines[c].keys);
    if (c == 0) {
      values = lines[c].values;
    } else {
      values.expand(lines[c].values);
    }
  }
  // only the chains are named in the legend, each once
  for (int i = 0; i < chart->graphCount(); ++i) chart->graph(i)->removeFromLegend();
  for (QCPGraph* g : named) g->addToLegend();
  for (auto [axis, range] : {std::pair{chart->xAxis, *keys}, std::pair{chart->yAxis, values}}) {
    const double pad = range.size() > 0 ? 0 : (range.lower == 0 ? 1 : std::abs(range.lower) * 0.05);
    axis->setRange(range.lower - pad, range.upper + pad);
  }
  chart->replot();
  return drawn;
}

void showColumnBars(const MainChart& main, const ColumnFigures& figures) {
  main.serie->setVisible(false);
  main.histogram->setVisible(true);
  main.histogram->setWidth(figures.barWidth);
  static const FigureLine none;
  const FigureLine& bars = figures.lines.empty() ? none : figures.lines.front();
  main.histogram->setData(QVector<double>(bars.x.begin(), bars.x.end()), QVector<double>(bars.y.begin(), bars.y.end()),
                          true);
  fitAxesToData(main.chart);
  main.chart->replot();
}

std::vector<QCPGraph*> showEssByBurnIn(const MainChart& main, const std::vector<EssAtBurnIn>& curve,
                                       const std::vector<double>& marks, const std::vector<QCPGraph*>& previous) {
  QCustomPlot* chart = main.chart;
  for (QCPGraph* g : previous) chart->removeGraph(g);
  main.serie->setVisible(false);
  main.histogram->setVisible(false);
  std::vector<QCPGraph*> drawn;
  std::optional<QCPRange> keys, values;
  const auto widen = [](std::optional<QCPRange>& range, double v) {
    if (range) {
      range->expand(v);
    } else {
      range = QCPRange(v, v);
    }
  };
  struct Line {
    const char* name;
    QColor colour;
    std::optional<double> EssAtBurnIn::*ess;
  };
  const Line lines[] = {{"bulk ESS", QColor(31, 119, 180), &EssAtBurnIn::essBulk},
                        {"tail ESS", QColor(214, 39, 40), &EssAtBurnIn::essTail}};
  // a column without ESS (the counter, the Model column) gets empty axes, not a legend of nothing
  for (const Line& line : curve.empty() ? std::span<const Line>() : std::span<const Line>(lines)) {
    QCPGraph* g = chart->addGraph();
    g->setName(line.name);
    g->setPen(QPen(line.colour, 1.5));
    g->setLineStyle(QCPGraph::lsLine);
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, line.colour, line.colour, 5));
    // an undefined ESS breaks the line rather than joining its neighbours across it
    for (const EssAtBurnIn& point : curve) {
      const auto& ess = point.*line.ess;
      const double x = static_cast<double>(point.burnIn);
      g->addData(x, ess ? *ess : std::numeric_limits<double>::quiet_NaN());
      widen(keys, x);
      if (ess) widen(values, *ess);
    }
    drawn.push_back(g);
  }
  for (double x : marks) widen(keys, x);
  for (int i = 0; i < chart->graphCount(); ++i) chart->graph(i)->removeFromLegend();
  for (QCPGraph* g : drawn) g->addToLegend();
  chart->legend->setVisible(!drawn.empty());
  chart->xAxis->setLabel("burn-in (rows)");
  // ESS counts draws: the axis starts at 0, so that a fall reads as large as it is
  const QCPRange x = keys.value_or(QCPRange(0, 1));
  const double xPad = x.size() > 0 ? x.size() * 0.02 : 1;
  chart->xAxis->setRange(x.lower - xPad, x.upper + xPad);
  const double top = values ? values->upper : 1;
  chart->yAxis->setRange(0, top > 0 ? top * 1.05 : 1);
  return drawn;
}

QString essByBurnInPurpose(const QString& columnName) { return "ESS by burn-in of " + columnName; }

void showModelBars(const ModelChart& chart, const std::vector<ModelBar>& bars) {
  QVector<double> keys, heights;
  for (const ModelBar& bar : bars) {
    keys << bar.x;
    heights << bar.height;
  }
  chart.model->setData(keys, heights, true);
  chart.chart->xAxis->setRange(0.5, keys.size() + 0.5);
  chart.chart->yAxis->setRange(0, 1.05);
  chart.chart->replot();
}

QColor chainColour(int index) {
  // distinct colours that read on the white and the grey background
  static const QColor colours[] = {QColor(31, 119, 180), QColor(214, 39, 40),  QColor(44, 160, 44),
                                   QColor(255, 127, 14), QColor(148, 103, 189), QColor(140, 86, 75),
                                   QColor(227, 119, 194), QColor(23, 190, 207)};
  constexpr int count = static_cast<int>(std::size(colours));
  return colours[((index % count) + count) % count];
}

QColor hpdiColour(int slot) {
  static const QColor colours[kHpdiColourSlots] = {
      QColor(255, 0, 0),      // red
      QColor(0, 0, 255),      // blue
      QColor(255, 255, 0),    // yellow
      QColor(255, 255, 255),  // white
      QColor(128, 0, 128),    // purple
      QColor(0, 128, 128),    // teal
      QColor(128, 128, 128),  // gray
      QColor(0, 255, 0),      // lime
      QColor(255, 0, 255),    // fuchsia
  };
  return colours[((slot % kHpdiColourSlots) + kHpdiColourSlots) % kHpdiColourSlots];
}

void showHpdis(const HpdiChart& chart, const std::vector<HpdiInterval>& hpdis, int populationCount) {
  std::vector<IntervalSeries::Item> items;
  items.reserve(hpdis.size());
  for (const HpdiInterval& h : hpdis) {
    items.push_back({h.low, h.high, h.y, QString::fromStdString(h.label),
                     hpdiColour(h.colourSlot)});
  }
  chart.hpdis->setItems(std::move(items));
  fitAxesToData(chart.chart, 0.03);
  // room on the right for the labels
  const QCPRange x = chart.chart->xAxis->range();
  chart.chart->xAxis->setRange(x.lower, x.upper + x.size() * 0.15);
  chart.chart->yAxis->setRange(0, populationCount + 2);
  chart.chart->replot();
}

void setChartTitle(QCustomPlot* chart, const QString& title) {
  if (auto* t = chart->findChild<QCPTextElement*>(chart->objectName() + "_title")) t->setText(title);
}

QString factorValueAxisName(bool logit) { return logit ? "ln(Fst/1-Fst)" : "Fst"; }

void clearFactorChart(const FactorChart& chart, int factor) {
  setChartTitle(chart.chart, factor == 1 ? "Fst against G1" : "Fst against G2");
  showFactorPoints(chart, {});
}

void showFactorPoints(const FactorChart& chart, const std::vector<std::pair<double, double>>& points) {
  QVector<double> x, y;
  for (const auto& [px, py] : points) {
    x << px;
    y << py;
  }
  chart.serie->setData(x, y);
  fitAxesToData(chart.chart, 0.05);  // room for the markers at the ends
  chart.chart->replot();
}

}  // namespace varno
