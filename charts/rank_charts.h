// The rank plots and ESS profiles of a column on the main chart: what the window's plot types
// "Ranks", "Rank ECDF" and "ESS" draw, and the tool's figures of the same names.
#pragma once

#include <QColor>
#include <QSharedPointer>
#include <QString>
#include <optional>
#include <vector>

#include "charts/window_charts.h"
#include "stats/ess_profile.h"
#include "stats/rank_ecdf.h"
#include "stats/rank_histogram.h"

class QCPAbstractItem;
class QCPAbstractPlottable;
class QCPAxisTicker;

namespace varno {

// What one of these figures added to the main chart; clearRankFigure takes it all away again and
// gives the axes back their own tickers and labels.
struct RankFigure {
  std::vector<QCPAbstractPlottable*> plottables;
  std::vector<QCPAbstractItem*> items;
  QSharedPointer<QCPAxisTicker> xTicker;  // the x axis's ticker before the figure, when it changed it
  QString xLabel, yLabel;                 // the axes' names before the figure
  bool legendShown = false;               // and whether the legend was shown
  bool drawn = false;
};
void clearRankFigure(const MainChart& main, RankFigure& figure);

// Each replaces what `previous` drew (cleared first), hides the series and the histogram of the
// main chart, draws and replots. The figures name their axes; the caller titles them.
//
// "Ranks": one panel per chain side by side along the x axis (its bins as bars in the chain's
// colour, the panel named "chain N" below it), a dashed line at the expected count.
// `chainNumbers` are the 1-based numbers of the histogram's chains.
RankFigure showRankHistogram(const MainChart& main, const RankHistogram& histogram,
                             const std::vector<int>& chainNumbers, RankFigure previous = {});
// "Rank ECDF": a curve per chain (or half) in its colour, named in the legend, the band shaded
// grey; the thinning is written in the plot's corner.
RankFigure showRankEcdf(const MainChart& main, const RankEcdf& ecdf, const std::vector<int>& chainNumbers,
                        RankFigure previous = {});

enum class EssProfileKind { quantile, local, run };
// "ESS": one of the three series (the run: bulk and tail, each with a dotted line from the origin
// through its last point), a dashed line at `targetEss` (defaultTargetEss of the chains).
RankFigure showEssProfile(const MainChart& main, const EssProfile& profile, EssProfileKind kind,
                          std::optional<double> targetEss, RankFigure previous = {});

// What the main chart shows, for its title: "Ranks of Sigma ²", "Rank ECDF difference of Fst2",
// "Quantile ESS of ...", "Local ESS of ...", "ESS over the run of ...".
QString rankHistogramPurpose(const QString& columnName);
QString rankEcdfPurpose(const QString& columnName);
QString essProfilePurpose(const QString& columnName, EssProfileKind kind);

// Which chains leave the band and where, for a tooltip and the status line: "chain 2 leaves the
// 95% band (at 0.12 to 0.3)"; "first half leaves ..."; empty when none does.
QString bandExitText(const RankEcdf& ecdf, const std::vector<int>& chainNumbers);

// The figure file names: "ranks_3", "rank_ecdf_3", "ess_quantile_3", ... for 1-based column 3.
QString rankFigureName(const QString& kind, int column);

}  // namespace varno
