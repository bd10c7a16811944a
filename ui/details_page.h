// The Details page: the chosen column's statistics, convergence diagnostics and main chart, and
// the controls of the plot, its type and the data range. The figures are computed as background
// jobs, the latest request winning, and shown only while they describe the current inputs.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/rank_charts.h"
#include "stats/column_figures.h"
#include "stats/ess_by_burn_in.h"
#include "stats/rank_plots.h"
#include "ui/window_page.h"

class QCPBars;
class QCPGraph;
class QComboBox;
class QCustomPlot;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace varno {

class BurnInMark;
class TrackBar;
class UpDown;
struct ColumnLine;

class DetailsPage : private WindowPage {
 public:
  // Builds the page's controls on `page`.
  DetailsPage(QWidget* page, PageHost& host);

  void PlotColumn(int column);
  void ReplotCurrentColumn();
  // The plot column's figures: requested as a job, applied when they still describe the inputs.
  void requestColumnFigures(int column, bool defaultBandwidth);
  // After the analysis changed (a file read, a chain added): the shown column again, at the default
  // bandwidth of its sample, pooled over the chains.
  void replotAtDefaultBandwidth();
  void clearColumnFigures();
  // Options > "Convergence target...": an ESS plot shown moves its target line.
  void convergenceTargetChanged();
  // A new table: the figures shown and asked for describe another one.
  void forgetFigures();
  // The last figures stay readable but grey until figures of the current inputs replace them.
  void showFiguresUpdating(bool updating);
  PlotType chosenPlotType() const;  // of the four plot-type buttons and the autocorrelation
  void SetDefaultBandwidth();
  void xiChange();
  void LocusChange();
  void AlleleChange();
  // the column whose figures are shown, if any
  std::optional<int> shownColumn() const;
  // the column whose figures were asked for last (shown or coming), if any
  std::optional<int> wantedColumn() const;
  // "ESS by burn-in" is the plot type chosen
  bool essByBurnInChosen() const;
  // The plot types that compare the chains of the column by rank, and its ESS profiles; each is
  // computed by a job of its own after the column's statistics.
  enum class ChainPlotType { ranks, rankEcdf, ess };
  struct ChainPlotChoice {
    ChainPlotType type = ChainPlotType::ranks;
    int bins = kDefaultRankBins;                     // of Ranks only
    EssProfileKind kind = EssProfileKind::quantile;  // of ESS only
    bool operator==(const ChainPlotChoice&) const = default;
  };
  // nothing when another plot type is chosen
  std::optional<ChainPlotChoice> chainPlotChosen() const;
  // What the main chart shows of the column named so: "Trace of Sigma ²", "Ranks of Fst2", ...
  QString chartPurpose(const QString& columnName) const;
  // The chosen column as titles name it: "Sigma ²", "column 3", "locus 2, allele 1".
  QString columnTitle() const;
  // The suggested burn-in in rows with its tooltip, marked on the trace and on ESS by burn-in;
  // nothing removes the mark.
  void showSuggestedBurnIn(std::optional<long long> rows, const QString& toolTip);
  // Runs whenever another column is asked for: a suggestion from the column shown follows it.
  std::function<void()> columnChosen;
  // Runs whenever figures asked for are shown (following times its refreshes by it).
  std::function<void()> figuresApplied;

  // ---- controls, under their designed names: the window's menus, choosers and data range use them ----
  // plot
  QGroupBox* plot = nullptr;
  QLabel* col = nullptr;
  QComboBox* xi = nullptr;
  QLabel* Llocus = nullptr;
  QComboBox* Locus = nullptr;
  QLabel* Lallele = nullptr;
  QComboBox* Allele = nullptr;
  QLabel* LModel_only2 = nullptr;
  QComboBox* Model_only2 = nullptr;
  // data range
  QGroupBox* InOut = nullptr;
  QLabel* LCutin = nullptr;
  QLineEdit* Cutin = nullptr;
  QLabel* LCutout = nullptr;
  QLineEdit* Cutout = nullptr;
  TrackBar* Tburnin = nullptr;
  TrackBar* Tburnout = nullptr;
  // plot type
  QGroupBox* Plot_type = nullptr;
  QRadioButton* normal = nullptr;
  QRadioButton* mean = nullptr;
  QRadioButton* histo = nullptr;
  QLineEdit* nb_histo2 = nullptr;
  UpDown* nb_histo = nullptr;
  QRadioButton* density = nullptr;
  QRadioButton* autocorr = nullptr;
  QRadioButton* essBurnIn = nullptr;  // the bulk and tail ESS against the candidate burn-ins
  QRadioButton* ranks = nullptr;       // each chain's rank histogram, in as many bins as the class count
  QRadioButton* rankEcdf = nullptr;    // each chain's rank ECDF difference within the simultaneous band
  QRadioButton* essProfile = nullptr;  // the ESS profile of the kind chosen in essKind
  QComboBox* essKind = nullptr;        // by quantile, local, over the run; shown with essProfile
  QPushButton* lambda_default = nullptr;
  TrackBar* lambda_dens = nullptr;
  QLabel* Llambda = nullptr;
  QLineEdit* Vlambda = nullptr;
  // statistics
  QGroupBox* Stats = nullptr;
  QLineEdit* m = nullptr;
  QLineEdit* var_edit = nullptr;
  QLineEdit* min = nullptr;
  QLineEdit* max = nullptr;
  QLineEdit* mode = nullptr;
  QLineEdit* HPDI = nullptr;
  QLineEdit* accuracy = nullptr;
  QLineEdit* width = nullptr;
  QLineEdit* Cpc2 = nullptr;
  UpDown* Cpc = nullptr;
  QLabel* convergence = nullptr;  // ess_bulk, ess_tail and rhat of the sample, under the box
  QLabel* mcse = nullptr;         // the Monte Carlo errors of the mean and the HPDI limits, under it
  // main chart
  QCustomPlot* Chart1 = nullptr;
  QCPGraph* Serie = nullptr;
  QCPBars* histogram = nullptr;
  QCPGraph* burnSerie = nullptr;  // the rows outside the sample, with "Show burn-in rows"

 private:
  void createDetailsPage();
  // False when a newer request superseded the figures: nothing was shown.
  bool applyColumnFigures(const ColumnFiguresInput& input, const ColumnFigures& figures);
  // The ESS line of a sample whose figures are shown: its own job, as it takes longer than they.
  // `statistics` are those shown, whose HPDI limits get their MCSE with the diagnostics.
  void requestSampleDiagnostics(const ColumnFiguresInput& input, const ColumnStatistics& statistics);
  // The MCSE line under the Statistics box; nothing empties it.
  void showMcse(const std::optional<McseFigures>& figures);
  // ESS by burn-in of the column whose figures are shown: its own job, as it takes longer than they.
  void requestEssByBurnIn(const ColumnFiguresInput& input);
  void showEssByBurnIn(const std::vector<EssAtBurnIn>& curve);
  // The suggested burn-in (and on ESS by burn-in the one set) where the chart shows them.
  void placeBurnInMarks();
  // The Statistics box's title names the rows its figures describe.
  void showRowsDescribed(const std::vector<ChainRows>& chains);
  // The Statistics box's tooltip when its mode is not at the sample's default bandwidth.
  void showBandwidthNote(const ColumnFigures& figures);
  // The diagnostics line under the statistics box, with what several chains left out or cut.
  QString convergenceText(const std::optional<ConvergenceDiagnostics>& diagnostics, const std::string& chainsNote) const;
  // Several chains: each chain's line in its own colour with a legend naming the files; none
  // removes them.
  void showChainLines(const std::vector<ColumnLine>& lines, const std::vector<ColumnLine>& outside = {});
  void normalClick();
  void meanClick();
  void histoClick();
  void densityClick();
  void autocorrClick();
  void essBurnInClick();
  void ranksClick();
  void rankEcdfClick();
  void essProfileClick();
  void essKindChange();
  // Any plot type chosen: the class count shown and enabled as the type needs, and the plot.
  void plotTypeClicked();
  // The class-count edit holds the histogram's classes, and the bins of Ranks while it is chosen:
  // each keeps its own count.
  void showClassCount(int count);
  // The plot of the chains chosen, for the figures on screen: at once when known, else as a job.
  void requestChainPlot(const ColumnFiguresInput& input);
  // Draws it when what is known describes the figures on screen and the plot asked for.
  void showChainPlot();
  void clearChainPlot();
  void nb_histo2Change();
  void lambda_densChange();
  void lambda_defaultClick();
  void Cpc2Change();

  QWidget* Details;
  std::vector<QCPGraph*> chainSeries_;  // several chains: one line per chain, overlaid; or the ESS lines
  BurnInMark* suggestedMark_ = nullptr;
  BurnInMark* currentMark_ = nullptr;  // the burn-in set, on ESS by burn-in
  std::optional<long long> suggestedRows_;
  QString suggestedToolTip_;
  // ESS by burn-in was asked for with the latest figures, and is drawn for those shown
  bool essWanted_ = false;
  bool essShown_ = false;
  // the last ESS by burn-in computed; the burn-in set plays no part in it, so that moving the
  // burn-in redraws it at once
  struct EssCurve {
    std::vector<std::weak_ptr<const SampleTable>> tables;  // never keeps a closed file's tables
    int column = 0;
    TableLayout layout;
    int modelFilter = 0;
    long long burnOut = 0;
    std::shared_ptr<const std::vector<EssAtBurnIn>> points;
    bool describes(const ColumnFiguresInput& input, long long burnOut) const;
  };
  std::optional<EssCurve> essCurve_;
  int histogramClasses_ = 30;
  int rankBins_ = kDefaultRankBins;
  // the plot of the chains asked for with the latest figures; the one drawn
  std::optional<ChainPlotChoice> chainPlotWanted_;
  RankFigure chainFigure_;
  // The last rank plots and ESS profile computed, and the sample they describe: switching between
  // the three plot types, or the kinds of ESS, computes nothing again.
  struct ChainPlotsKnown {
    std::vector<std::weak_ptr<const SampleTable>> tables;  // never keeps a closed file's tables
    ColumnFiguresInput sample;                             // its chains' tables left empty
    bool diagnosed = true;                                 // false: a counter or Model column
    int bins = 0;                                          // of the rank histogram
    std::shared_ptr<const RankPlots> ranks;
    std::shared_ptr<const EssProfile> ess;
    bool describes(const ColumnFiguresInput& input) const;
  };
  std::optional<ChainPlotsKnown> ranksKnown_, essKnown_;
  // what the figures on screen describe, and the latest request made
  std::optional<ColumnFiguresInput> figuresShown_;
  std::optional<ColumnFiguresInput> figuresWanted_;
  QString bandwidthNote_;  // the Statistics box's tooltip while its figures are current
  // the diagnostics of the last sample diagnosed, kept while only the plot or its settings change
  struct SampleDiagnostics {
    // each chain's table: never keeps a closed file's tables in memory
    std::vector<std::weak_ptr<const SampleTable>> tables;
    ColumnFiguresInput sample;  // its chains' tables left empty
    std::optional<ConvergenceDiagnostics> diagnostics;
    std::string chainsNote;  // several chains: those left out or cut
  };
  std::shared_ptr<const SampleDiagnostics> sampleDiagnostics_;
};

}  // namespace varno
