// Rank histograms, rank ECDF differences and ESS profiles drawn on the main chart.
#include "charts/rank_charts.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <qcustomplot.h>

#include "stats/number_format.h"

namespace varno {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Starts a figure on the main chart: what `previous` drew goes, the chart's own series hide, and
// the axes' names are kept to be given back.
RankFigure startFigure(const MainChart& main, RankFigure& previous) {
  clearRankFigure(main, previous);
  main.serie->setVisible(false);
  main.histogram->setVisible(false);
  RankFigure figure;
  figure.drawn = true;
  figure.xLabel = main.chart->xAxis->label();
  figure.yLabel = main.chart->yAxis->label();
  figure.legendShown = main.chart->legend->visible();
  return figure;
}

QCPGraph* addLine(RankFigure& figure, QCustomPlot* chart, const QString& name, const QPen& pen,
                  QCPGraph::LineStyle style = QCPGraph::lsLine) {
  QCPGraph* g = chart->addGraph();
  g->setName(name);
  g->setPen(pen);
  g->setLineStyle(style);
  figure.plottables.push_back(g);
  return g;
}

// A dashed line across the chart at y.
void addLevel(RankFigure& figure, QCustomPlot* chart, double y, const QString& name) {
  auto* line = new QCPItemStraightLine(chart);
  line->setObjectName(name);
  line->setPen(QPen(Qt::black, 1, Qt::DashLine));
  line->point1->setCoords(0, y);
  line->point2->setCoords(1, y);
  figure.items.push_back(line);
}

// The legend names only the figure's own lines.
void showLegend(QCustomPlot* chart, const std::vector<QCPAbstractPlottable*>& named) {
  for (int i = 0; i < chart->plottableCount(); ++i) chart->plottable(i)->removeFromLegend();
  for (QCPAbstractPlottable* p : named) p->addToLegend();
  chart->legend->setVisible(!named.empty());
}

QString curveName(const RankEcdfCurve& curve, const std::vector<int>& chainNumbers) {
  if (curve.half != 0) return curve.half == 1 ? "first half" : "second half";
  const auto index = static_cast<std::size_t>(curve.chain - 1);
  return QString("chain %1").arg(index < chainNumbers.size() ? chainNumbers[index] : curve.chain);
}

QString number(double v, int digits = 3) { return QString::fromStdString(generalFormat(v, digits)); }

}  // namespace

void clearRankFigure(const MainChart& main, RankFigure& figure) {
  if (!figure.drawn) return;
  QCustomPlot* chart = main.chart;
  for (QCPAbstractPlottable* p : figure.plottables) chart->removePlottable(p);
  for (QCPAbstractItem* i : figure.items) chart->removeItem(i);
  if (figure.xTicker) chart->xAxis->setTicker(figure.xTicker);
  chart->xAxis->setLabel(figure.xLabel);
  chart->yAxis->setLabel(figure.yLabel);
  chart->legend->setVisible(figure.legendShown);
  figure = RankFigure{};
}

RankFigure showRankHistogram(const MainChart& main, const RankHistogram& histogram,
                             const std::vector<int>& chainNumbers, RankFigure previous) {
  RankFigure figure = startFigure(main, previous);
  QCustomPlot* chart = main.chart;
  const int bins = histogram.bins;
  // the panels side by side, a gap of a fifth of a panel between them
  const double gap = std::max(1.0, bins / 5.0), panel = bins + gap;
  auto ticker = QSharedPointer<QCPAxisTickerText>::create();
  double top = histogram.expected;
  for (std::size_t c = 0; c < histogram.counts.size(); ++c) {
    const int number = c < chainNumbers.size() ? chainNumbers[c] : static_cast<int>(c + 1);
    auto* bars = new QCPBars(chart->xAxis, chart->yAxis);
    bars->setObjectName(QString("rank_bars_%1").arg(number));
    bars->setName(QString("chain %1").arg(number));
    bars->setWidthType(QCPBars::wtPlotCoords);
    bars->setWidth(1);
    const QColor colour = chainColour(static_cast<int>(c));
    bars->setPen(QPen(colour.darker(120)));
    bars->setBrush(colour.lighter(130));
    QVector<double> keys, counts;
    for (int k = 0; k < bins; ++k) {
      keys << c * panel + k + 0.5;
      counts << static_cast<double>(histogram.counts[c][static_cast<std::size_t>(k)]);
      top = std::max(top, counts.back());
    }
    bars->setData(keys, counts, true);
    figure.plottables.push_back(bars);
    ticker->addTick(c * panel + bins / 2.0, bars->name());
  }
  addLevel(figure, chart, histogram.expected, "rank_expected");
  figure.xTicker = chart->xAxis->ticker();
  chart->xAxis->setTicker(ticker);
  chart->xAxis->setLabel(QString("rank, in %1 bins per chain").arg(bins));
  chart->yAxis->setLabel("draws");
  const double chains = static_cast<double>(std::max<std::size_t>(1, histogram.counts.size()));
  chart->xAxis->setRange(-gap / 2, chains * panel - gap / 2);
  chart->yAxis->setRange(0, top > 0 ? top * 1.08 : 1);
  showLegend(chart, {});
  chart->replot();
  return figure;
}

RankFigure showRankEcdf(const MainChart& main, const RankEcdf& ecdf, const std::vector<int>& chainNumbers,
                        RankFigure previous) {
  RankFigure figure = startFigure(main, previous);
  QCustomPlot* chart = main.chart;
  const QVector<double> z(ecdf.z.begin(), ecdf.z.end());
  double low = 0, high = 0;
  const auto widen = [&](const std::vector<double>& ys) {
    for (double y : ys) {
      low = std::min(low, y);
      high = std::max(high, y);
    }
  };
  std::vector<QCPAbstractPlottable*> named;
  if (!ecdf.curves.empty()) {
    // the band: its upper line filled down to its lower one
    const QColor grey(150, 150, 150);
    // ECDFs and their band are steps: a value holds up to the next point
    QCPGraph* lower = addLine(figure, chart, "band_lower", QPen(grey), QCPGraph::lsStepLeft);
    lower->setObjectName("rank_band_lower");
    lower->setData(z, QVector<double>(ecdf.lower.begin(), ecdf.lower.end()), true);
    QCPGraph* upper = addLine(figure, chart, QString("%1% band").arg(number(ecdf.level * 100)), QPen(grey),
                              QCPGraph::lsStepLeft);
    upper->setObjectName("rank_band_upper");
    upper->setData(z, QVector<double>(ecdf.upper.begin(), ecdf.upper.end()), true);
    upper->setBrush(QColor(200, 200, 200, 110));
    upper->setChannelFillGraph(lower);
    named.push_back(upper);
    widen(ecdf.lower);
    widen(ecdf.upper);
  }
  for (std::size_t c = 0; c < ecdf.curves.size(); ++c) {
    const RankEcdfCurve& curve = ecdf.curves[c];
    QCPGraph* g = addLine(figure, chart, curveName(curve, chainNumbers), QPen(chainColour(static_cast<int>(c)), 1.5),
                          QCPGraph::lsStepLeft);
    g->setObjectName(QString("rank_ecdf_%1").arg(c + 1));
    g->setData(z, QVector<double>(curve.difference.begin(), curve.difference.end()), true);
    named.push_back(g);
    widen(curve.difference);
  }
  if (!ecdf.curves.empty() || ecdf.drawsPerCurve > 0) {
    auto* note = new QCPItemText(chart);
    note->setObjectName("rank_thinning");
    note->position->setType(QCPItemPosition::ptAxisRectRatio);
    note->position->setCoords(0.02, 0.03);
    note->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QString draws = QString("%1 %2 per %3")
                              .arg(ecdf.drawsPerCurve)
                              .arg(ecdf.drawsPerCurve == 1 ? "draw" : "draws", ecdf.halves ? "half" : "chain");
    const QString kept = ecdf.curves.empty() ? draws + ", too few to compare" : draws;
    note->setText(ecdf.thinning > 1 ? QString("thinned by %1: %2").arg(ecdf.thinning).arg(kept)
                                    : QString("not thinned: %1").arg(kept));
    figure.items.push_back(note);
  }
  chart->xAxis->setLabel("fractional rank");
  chart->yAxis->setLabel("ECDF difference");
  chart->xAxis->setRange(0, 1);
  const double pad = std::max(0.01, (high - low) * 0.1);
  chart->yAxis->setRange(low - pad, high + pad);
  showLegend(chart, named);
  chart->replot();
  return figure;
}

RankFigure showEssProfile(const MainChart& main, const EssProfile& profile, EssProfileKind kind,
                          std::optional<double> targetEss, RankFigure previous) {
  RankFigure figure = startFigure(main, previous);
  QCustomPlot* chart = main.chart;
  double top = targetEss.value_or(0), right = 1;
  struct Series {
    QString name;
    QColor colour;
    QVector<double> x, y;
  };
  std::vector<Series> series;
  const auto pointsOf = [](const std::vector<EssPoint>& points, const QString& name) {
    Series s{name, QColor(31, 119, 180), {}, {}};
    for (const EssPoint& p : points) {
      s.x << p.x;
      s.y << (p.ess ? *p.ess : kNaN);  // an undefined ESS breaks the line
    }
    return s;
  };
  if (kind == EssProfileKind::quantile) series.push_back(pointsOf(profile.quantile, "quantile ESS"));
  if (kind == EssProfileKind::local) series.push_back(pointsOf(profile.local, "local ESS"));
  if (kind == EssProfileKind::run && !profile.run.empty()) {
    Series bulk{"bulk ESS", QColor(31, 119, 180), {}, {}}, tail{"tail ESS", QColor(214, 39, 40), {}, {}};
    for (const EssRunPoint& p : profile.run) {
      bulk.x << static_cast<double>(p.draws);
      bulk.y << (p.essBulk ? *p.essBulk : kNaN);
      tail.x << static_cast<double>(p.draws);
      tail.y << (p.essTail ? *p.essTail : kNaN);
    }
    series = {bulk, tail};
    right = std::max(1.0, static_cast<double>(profile.run.back().draws));
  }
  std::vector<QCPAbstractPlottable*> named;
  for (const Series& s : series) {
    QCPGraph* g = addLine(figure, chart, s.name, QPen(s.colour, 1.5));
    g->setObjectName("ess_" + QString(s.name).replace(' ', '_'));
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, s.colour, s.colour, 5));
    g->setData(s.x, s.y, true);
    named.push_back(g);
    for (double y : s.y)
      if (std::isfinite(y)) top = std::max(top, y);
    // the run: ESS grows in proportion to the draws where the chains mix; a bend shows against
    // the line from the origin through the last point
    if (kind == EssProfileKind::run && !s.y.isEmpty() && std::isfinite(s.y.back())) {
      QCPGraph* line = addLine(figure, chart, s.name + " line", QPen(s.colour, 1, Qt::DotLine));
      line->setObjectName(g->objectName() + "_line");
      line->setData({0.0, s.x.back()}, {0.0, s.y.back()}, true);
    }
  }
  if (targetEss) {
    addLevel(figure, chart, *targetEss, "ess_target");
    auto* label = new QCPItemText(chart);
    label->setObjectName("ess_target_label");
    label->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    label->position->setTypeY(QCPItemPosition::ptPlotCoords);
    label->position->setCoords(0.02, *targetEss);
    label->setPositionAlignment(Qt::AlignLeft | Qt::AlignBottom);
    label->setText("target " + number(*targetEss, 6));
    figure.items.push_back(label);
  }
  chart->xAxis->setLabel(kind == EssProfileKind::run ? "draws per chain" : "quantile");
  chart->yAxis->setLabel("ESS");
  const double xPad = kind == EssProfileKind::run ? right * 0.02 : 0.02;
  chart->xAxis->setRange(kind == EssProfileKind::run ? 0 : -xPad, right + xPad);
  // ESS counts draws: the axis starts at 0, so that a fall reads as large as it is
  chart->yAxis->setRange(0, top > 0 ? top * 1.08 : 1);
  showLegend(chart, named);
  chart->replot();
  return figure;
}

QString rankHistogramPurpose(const QString& columnName) { return "Ranks of " + columnName; }
QString rankEcdfPurpose(const QString& columnName) { return "Rank ECDF difference of " + columnName; }
QString essProfilePurpose(const QString& columnName, EssProfileKind kind) {
  switch (kind) {
    case EssProfileKind::quantile:
      return "Quantile ESS of " + columnName;
    case EssProfileKind::local:
      return "Local ESS of " + columnName;
    case EssProfileKind::run:
      return "ESS over the run of " + columnName;
  }
  return columnName;
}

QString bandExitText(const RankEcdf& ecdf, const std::vector<int>& chainNumbers) {
  QStringList exits;
  for (const RankEcdfCurve& curve : ecdf.curves) {
    if (!curve.leaves()) continue;
    const double first = curve.outsideAt.front(), last = curve.outsideAt.back();
    exits << QString("%1 leaves the %2% band (%3)")
                 .arg(curveName(curve, chainNumbers), number(ecdf.level * 100),
                      first == last ? "at fractional rank " + number(first)
                                    : "at fractional ranks " + number(first) + " to " + number(last));
  }
  return exits.join("; ");
}

QString rankFigureName(const QString& kind, int column) { return kind + "_" + QString::number(column); }

}  // namespace varno
