// The window's five charts, built and filled by the same code on screen and in the headless tool,
// so that a figure written by either looks the same.
#pragma once

#include <QSharedPointer>
#include <optional>
#include <QString>
#include <qcustomplot.h>
#include <string>
#include <utility>
#include <vector>

#include "stats/column_figures.h"
#include "stats/ess_by_burn_in.h"
#include "stats/model_summary.h"

namespace varno {

class IntervalSeries;

// `Chart1` of the Details page with its line series `Serie` and bar series `histogram`.
struct MainChart {
  QCustomPlot* chart = nullptr;
  QCPGraph* serie = nullptr;
  QCPBars* histogram = nullptr;
};
// `G1_graph` or `G2_graph`: the mean Fst of each population against a factor.
struct FactorChart {
  QCustomPlot* chart = nullptr;
  QCPGraph* serie = nullptr;
};
// `Chart4`: the HPD intervals of the Fst coefficients.
struct HpdiChart {
  QCustomPlot* chart = nullptr;
  IntervalSeries* hpdis = nullptr;
};
// The colour of each colour slot of the HPD intervals.
inline constexpr int kHpdiColourSlots = 9;
QColor hpdiColour(int slot);
// The colour of chain `index` (0-based) wherever chains are drawn apart.
QColor chainColour(int index);
// `Chart3`: the posterior model probabilities.
struct ModelChart {
  QCustomPlot* chart = nullptr;
  QCPBars* model = nullptr;
};

// The names the charts' figures are saved under (before the extension, after the data file's name).
inline const QString kG1FigureName = "fst_g1";
inline const QString kG2FigureName = "fst_g2";
inline const QString kHpdiFigureName = "fst_hpdi";
inline const QString kModelFigureName = "model_probability";
QString columnFigureName(int column);  // the main chart of a 1-based column: "column_3"
// What the main chart shows: "Trace of Sigma ²", "Density of Fst2", ...
QString mainChartPurpose(const QString& columnName, PlotType type);

// A title above a chart that has none, while a figure or a page is drawn from it: the main chart
// on screen names its column in the chooser, its figure and printout name it themselves.
class FigureTitle {
 public:
  FigureTitle(QCustomPlot* chart, const QString& text);
  ~FigureTitle();
  FigureTitle(const FigureTitle&) = delete;
  FigureTitle& operator=(const FigureTitle&) = delete;

 private:
  QCustomPlot* chart_ = nullptr;
  QCPTextElement* title_ = nullptr;
};

// Each at its designed place and size in `parent`, with its designed series, titles and axes.
MainChart makeMainChart(QWidget* parent);
FactorChart makeFactorChart(QWidget* parent, int factor);  // factor 1 or 2
HpdiChart makeHpdiChart(QWidget* parent);
ModelChart makeModelChart(QWidget* parent);

// The points of a line plot of column figures with their ranges; built off the window's thread,
// then swapped in, so that the window does no pass over millions of points but the drawing.
struct ColumnLine {
  QSharedPointer<QCPGraphDataContainer> data;
  QCPRange keys, values;
};
ColumnLine columnLineData(const ColumnFigures& figures);  // its first line; none for bars
ColumnLine columnLineData(const std::vector<double>& x, const std::vector<double>& y);  // x empty: 0, 1, ...
// The column's line (trace, running mean, density) or its histogram, the axes fitted: y to the
// line, x to the line and contextKeys (rows drawn around it) when given.
void showColumnLine(const MainChart& main, const ColumnLine& line,
                    std::optional<QCPRange> contextKeys = std::nullopt);
void showColumnBars(const MainChart& main, const ColumnFigures& figures);
// Several chains: one line each in place of the series, named "chain N: FILE" in the legend (files
// by path, chain 1 first), the axes fitted to them all. `outside` (the whole-column trace: each
// chain's rows outside its sample) is drawn in a paler colour of its chain and widens the x axis
// only. `previous`, the lines of an earlier call, are removed first; no lines hides the legend.
// Returns the lines drawn.
std::vector<QCPGraph*> showChainLines(const MainChart& main, const std::vector<ColumnLine>& lines,
                                      const std::vector<std::string>& files, const std::vector<QCPGraph*>& previous,
                                      const std::vector<ColumnLine>& outside = {});

// The bulk and tail ESS of a column against the candidate burn-ins, in place of the series, named
// in the legend; the x axis reaches the rows in `marks` (burn-ins marked on it) too. `previous`,
// the lines of an earlier call (or of showChainLines), are removed first. Returns the lines drawn;
// the chart is redrawn by the caller, once the burn-ins are marked. The x axis is named "burn-in
// (rows)"; the caller names it no more when it shows anything else.
std::vector<QCPGraph*> showEssByBurnIn(const MainChart& main, const std::vector<EssAtBurnIn>& curve,
                                       const std::vector<double>& marks, const std::vector<QCPGraph*>& previous);
// What the main chart shows with ESS against burn-in: "ESS by burn-in of Sigma ²".
QString essByBurnInPurpose(const QString& columnName);

void showModelBars(const ModelChart& chart, const std::vector<ModelBar>& bars);
void showHpdis(const HpdiChart& chart, const std::vector<HpdiInterval>& hpdis, int populationCount);

// The title above a chart made here.
void setChartTitle(QCustomPlot* chart, const QString& title);
// The left axis name of the factor charts: the logit of Fst or Fst itself.
QString factorValueAxisName(bool logit);
void showFactorPoints(const FactorChart& chart, const std::vector<std::pair<double, double>>& points);
// No points, the designed title and the empty axes of the chart of factor 1 or 2.
void clearFactorChart(const FactorChart& chart, int factor);

}  // namespace varno
