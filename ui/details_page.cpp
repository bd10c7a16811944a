// The Details page: statistics of the chosen column and the main chart.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <qcustomplot.h>

#include "ui/details_page.h"

#include "core/column_catalogue.h"
#include "core/read_notes.h"
#include "report/following_texts.h"
#include "stats/column_sample.h"
#include "stats/column_statistics.h"
#include "stats/convergence_marks.h"
#include "stats/default_bandwidth.h"
#include "stats/edit_limits.h"
#include "stats/histogram.h"
#include "stats/number_format.h"
#include "stats/running_mean.h"
#include "stats/statistics_texts.h"
#include "charts/burn_in_mark.h"
#include "charts/chart_setup.h"
#include "charts/window_charts.h"
#include "ui/job_runner.h"
#include "ui/column_chooser_search.h"
#include "ui/designed_controls.h"
#include "ui/track_bar.h"
#include "ui/up_down.h"
#include "ui/worker_threads.h"

namespace varno {

namespace {

const QString kMcseToolTip =
    "Monte Carlo standard error of the mean, and the MCSE of the limits as quantiles (a lower bound): where the "
    "narrowest interval lands varies more than a quantile at a fixed probability does";

const QString kStatsTitle = " Statistics: ";

}  // namespace

DetailsPage::DetailsPage(QWidget* page, PageHost& host) : WindowPage(host), Details(page) {
  createDetailsPage();
  // a selection made by the program raises no event: only the user's choice is wired
  QObject::connect(xi, &QComboBox::activated, Details, on([this] { xiChange(); }));
  QObject::connect(Locus, &QComboBox::activated, Details, on([this] { LocusChange(); }));
  QObject::connect(Allele, &QComboBox::activated, Details, on([this] { AlleleChange(); }));
  QObject::connect(normal, &QRadioButton::clicked, Details, on([this] { normalClick(); }));
  QObject::connect(mean, &QRadioButton::clicked, Details, on([this] { meanClick(); }));
  QObject::connect(histo, &QRadioButton::clicked, Details, on([this] { histoClick(); }));
  QObject::connect(density, &QRadioButton::clicked, Details, on([this] { densityClick(); }));
  QObject::connect(autocorr, &QRadioButton::clicked, Details, on([this] { autocorrClick(); }));
  QObject::connect(essBurnIn, &QRadioButton::clicked, Details, on([this] { essBurnInClick(); }));
  QObject::connect(ranks, &QRadioButton::clicked, Details, on([this] { ranksClick(); }));
  QObject::connect(rankEcdf, &QRadioButton::clicked, Details, on([this] { rankEcdfClick(); }));
  QObject::connect(essProfile, &QRadioButton::clicked, Details, on([this] { essProfileClick(); }));
  QObject::connect(essProfile, &QRadioButton::toggled, essKind, &QComboBox::setVisible);
  QObject::connect(essKind, &QComboBox::activated, Details, on([this] { essKindChange(); }));
  QObject::connect(lambda_default, &QPushButton::clicked, Details, on([this] { lambda_defaultClick(); }));
  // edits and track bars notify at once, also when the program sets them, on a real change only
  QObject::connect(nb_histo2, &QLineEdit::textChanged, Details, on([this] { nb_histo2Change(); }));
  QObject::connect(Cpc2, &QLineEdit::textChanged, Details, on([this] { Cpc2Change(); }));
  QObject::connect(lambda_dens, &TrackBar::changed, Details, on([this] { lambda_densChange(); }));
}

void DetailsPage::createDetailsPage() {
  QWidget* page = Details;

  plot = named(new QGroupBox(" Plot: ", page), "plot");
  plot->setGeometry(45, 5, 265, 89);
  col = label("col", "Column to plot :", plot, 8, 24);
  xi = dropDown("xi", plot, QRect(96, 20, 160, 22), 15);
  Llocus = label("Llocus", "Locus: ", plot, 8, 24);
  Locus = dropDown("Locus", plot, QRect(96, 20, 70, 22), 10);
  Locus->addItem("1");
  Locus->setCurrentIndex(0);
  Lallele = label("Lallele", "Allele:", plot, 8, 56);
  Allele = dropDown("Allele", plot, QRect(96, 52, 70, 22), 12);
  Allele->addItem("1");
  Allele->setCurrentIndex(0);
  // tens of thousands of columns, thousands of loci: found by typing
  makeSearchable(xi);
  makeSearchable(Locus);
  LModel_only2 = label("LModel_only2", "Model:", plot, 8, 56);
  Model_only2 = dropDown("Model_only2", plot, QRect(96, 52, 160, 22), 10);

  InOut = named(new QGroupBox(" Data range: ", page), "InOut");
  InOut->setGeometry(45, 101, 265, 81);
  LCutin = label("LCutin", "Burn-in:", InOut, 8, 24);
  Cutin = edit("Cutin", "0", InOut, QRect(66, 20, 64, 21));
  Tburnin = new TrackBar("Tburnin", 0, 100, 5, 0, InOut);
  Tburnin->setGeometry(136, 16, 122, 28);
  LCutout = label("LCutout", "Burn-out:", InOut, 8, 54);
  Cutout = edit("Cutout", "0", InOut, QRect(66, 50, 64, 21));
  Tburnout = new TrackBar("Tburnout", 0, 100, 5, 0, InOut);
  Tburnout->setGeometry(136, 46, 122, 28);

  Plot_type = named(new QGroupBox(" Plot type: ", page), "Plot_type");
  // two rows more than designed (the chains compared by rank, and ESS with its kind): the rows
  // are closer and the box reaches down to the chart's top
  Plot_type->setGeometry(327, 5, 156, 183);
  normal = named(new QRadioButton("Trace", Plot_type), "normal");
  normal->setGeometry(10, 16, 80, 18);
  normal->setChecked(true);
  mean = named(new QRadioButton("Mean", Plot_type), "mean");
  mean->setGeometry(10, 34, 80, 18);
  histo = named(new QRadioButton("Histogram:", Plot_type), "histo");
  histo->setGeometry(10, 93, 84, 18);
  nb_histo2 = edit("nb_histo2", "30", Plot_type, QRect(96, 91, 36, 21));
  nb_histo = new UpDown("nb_histo", nb_histo2, 2, 200, 30, Plot_type);
  nb_histo->setGeometry(132, 91, 16, 21);
  density = named(new QRadioButton("Density:", Plot_type), "density");
  density->setGeometry(10, 116, 80, 18);
  lambda_default = named(new QPushButton("Default", Plot_type), "lambda_default");
  lambda_default->setGeometry(92, 114, 56, 22);
  lambda_dens = new TrackBar("lambda_dens", -1000, 300, 30, -500, Plot_type);
  lambda_dens->setGeometry(6, 135, 144, 28);
  // the fifth plot type sits beside the first; the box keeps its place and may widen into the
  // gap before the Statistics box to hold it
  autocorr = named(new QRadioButton("Autocorrelation", Plot_type), "autocorr");
  const int traceWidth = std::min(normal->width(), normal->sizeHint().width());
  const int autocorrX = normal->x() + traceWidth + 2;
  const int roomToStats = 502 - 3 - Plot_type->x();
  // a wide system font gets a smaller caption rather than a clipped one
  QFont autocorrFont = autocorr->font();
  while (autocorrX + autocorr->sizeHint().width() + 2 > roomToStats && autocorrFont.pointSizeF() > 6) {
    autocorrFont.setPointSizeF(autocorrFont.pointSizeF() - 0.5);
    autocorr->setFont(autocorrFont);
  }
  const int autocorrWidth = autocorr->sizeHint().width();
  normal->resize(traceWidth, normal->height());
  autocorr->setGeometry(autocorrX, 16, autocorrWidth, 18);
  // the sixth beside the second, in the same column and no larger a caption
  essBurnIn = named(new QRadioButton("ESS by burn-in", Plot_type), "essBurnIn");
  essBurnIn->setToolTip(
      "Bulk and tail ESS of the column after each burn-in from 0 to half the shortest chain: where the "
      "transient ends, they peak");
  const int meanWidth = std::min(mean->width(), mean->sizeHint().width());
  const int essX = std::max(autocorrX, mean->x() + meanWidth + 2);
  QFont essFont = autocorr->font();
  essBurnIn->setFont(essFont);
  while (essX + essBurnIn->sizeHint().width() + 2 > roomToStats && essFont.pointSizeF() > 6) {
    essFont.setPointSizeF(essFont.pointSizeF() - 0.5);
    essBurnIn->setFont(essFont);
  }
  const int essWidth = essBurnIn->sizeHint().width();
  mean->resize(meanWidth, mean->height());
  essBurnIn->setGeometry(essX, 34, essWidth, 18);
  // the chains compared by rank: Ranks under Mean, Rank ECDF in the second column; then ESS with
  // its kind, shown while it is the plot chosen
  ranks = named(new QRadioButton("Ranks", Plot_type), "ranks");
  ranks->setToolTip("Each chain's draws ranked among all chains' draws, counted in as many bins as the class count "
                    "says: chains that mix give flat bars");
  ranks->setGeometry(10, 52, std::min(ranks->sizeHint().width(), essX - 12), 18);
  rankEcdf = named(new QRadioButton("Rank ECDF", Plot_type), "rankEcdf");
  rankEcdf->setToolTip("Each chain's empirical distribution of its ranks minus that of uniform ranks, in the 95% band "
                       "in which chains that mix all stay");
  rankEcdf->setFont(essFont);
  rankEcdf->setGeometry(essX, 52, std::min(rankEcdf->sizeHint().width(), roomToStats - essX - 2), 18);
  essProfile = named(new QRadioButton("ESS:", Plot_type), "essProfile");
  essProfile->setToolTip("The column's effective sample size by quantile, by interval of its values, or as the run "
                         "grows, against the convergence target");
  essProfile->setGeometry(10, 71, essProfile->sizeHint().width(), 18);
  essKind = dropDown("essKind", Plot_type, QRect(essProfile->x() + essProfile->width() + 2, 70, 0, 20), 3);
  essKind->addItems({"by quantile", "local", "over the run"});
  essKind->setCurrentIndex(0);
  essKind->resize(std::min(essKind->sizeHint().width(), roomToStats - essKind->x() - 6), essKind->height());
  essKind->setVisible(false);
  const int widest = std::max({autocorrX + autocorrWidth, essX + essWidth, rankEcdf->x() + rankEcdf->width(),
                               essKind->x() + essKind->width() + 4}) + 2;
  Plot_type->resize(std::clamp(widest, Plot_type->width(), roomToStats), Plot_type->height());
  Llambda = label("Llambda", "Lambda=", Plot_type, 10, 163);
  Vlambda = display("Vlambda", Plot_type, QRect(62, 161, 86, 18));

  Stats = named(new QGroupBox(kStatsTitle, page), "Stats");
  Stats->setGeometry(502, 5, 220, 159);
  struct Row {
    QLineEdit** target;
    const char* name;
    const char* caption;
  };
  const Row rows[] = {{&m, "m", "Mean: "},          {&var_edit, "var_edit", "Variance: "},
                      {&min, "min", "Min: "},       {&max, "max", "Max:"},
                      {&mode, "mode", "Mode:"},     {&HPDI, "HPDI", "HPDI:"},
                      {&width, "width", "Width:"},  {&accuracy, "accuracy", "Accuracy:"}};
  int y = 19;
  for (const Row& r : rows) {
    label(QString("L") + r.name, r.caption, Stats, 8, y);
    *r.target = display(r.name, Stats, QRect(66, y - 1, 138, 16));
    y += 14;
  }
  accuracy->setGeometry(66, y - 15, 76, 16);
  label("Laccuracy_unit", "%", Stats, 144, y - 14);
  label("Llevel", "Level:", Stats, 8, y + 5);
  Cpc2 = edit("Cpc2", "95", Stats, QRect(66, y + 1, 36, 21));
  Cpc = new UpDown("Cpc", Cpc2, 1, 99, 95, Stats);
  Cpc->setGeometry(102, y + 1, 16, 21);
  label("Llevel_unit", "%", Stats, 122, y + 5);
  convergence = named(new QLabel(page), "convergence");
  convergence->setGeometry(506, 167, 280, 16);
  convergence->setToolTip(
      "Effective sample sizes of the bulk and the tails, and split R-hat, of the draws shown "
      "(retained rows and model filter)");

  const MainChart main = makeMainChart(page);
  Chart1 = main.chart;
  suggestedMark_ = new BurnInMark(Chart1, "suggestedBurnIn", BurnInMark::Style::suggested);
  currentMark_ = new BurnInMark(Chart1, "currentBurnIn", BurnInMark::Style::current);
  currentMark_->show(std::nullopt);
  // under the ESS line, reaching into the chart's blank margin above its axes: drawn above it
  mcse = named(new QLabel(page), "mcse");
  mcse->setGeometry(506, 181, 276, 15);  // within the page's frame
  mcse->setToolTip(kMcseToolTip);
  mcse->raise();
  Serie = main.serie;
  histogram = main.histogram;
  burnSerie = Chart1->addGraph();
  burnSerie->setObjectName("burnSerie");
  burnSerie->setName("burnSerie");
  burnSerie->setPen(QPen(QColor(170, 170, 170)));
  burnSerie->setVisible(false);
  markAsContext(burnSerie);
}

void DetailsPage::forgetFigures() {
  figuresShown_.reset();
  figuresWanted_.reset();
}

std::optional<int> DetailsPage::shownColumn() const {
  if (!figuresShown_) return std::nullopt;
  return figuresShown_->column;
}

std::optional<int> DetailsPage::wantedColumn() const {
  if (!figuresWanted_) return std::nullopt;
  return figuresWanted_->column;
}

bool DetailsPage::essByBurnInChosen() const { return essBurnIn->isChecked(); }

std::optional<DetailsPage::ChainPlotChoice> DetailsPage::chainPlotChosen() const {
  // only what the plot depends on differs between two choices
  if (ranks->isChecked()) return ChainPlotChoice{ChainPlotType::ranks, rankBins_, EssProfileKind::quantile};
  if (rankEcdf->isChecked()) return ChainPlotChoice{ChainPlotType::rankEcdf, kDefaultRankBins, EssProfileKind::quantile};
  if (essProfile->isChecked()) {
    static constexpr EssProfileKind kinds[] = {EssProfileKind::quantile, EssProfileKind::local, EssProfileKind::run};
    return ChainPlotChoice{ChainPlotType::ess, kDefaultRankBins, kinds[std::clamp(essKind->currentIndex(), 0, 2)]};
  }
  return std::nullopt;
}

QString DetailsPage::columnTitle() const {
  QString column = state.dataExtension == ".frq" ? QString("locus %1, allele %2").arg(Locus->currentText(), Allele->currentText())
                                                 : xi->currentText();
  // the chooser numbers the columns of a plain table
  bool numbered = false;
  column.toInt(&numbered);
  if (numbered) column = "column " + column;
  return column;
}

QString DetailsPage::chartPurpose(const QString& columnName) const {
  if (essByBurnInChosen()) return essByBurnInPurpose(columnName);
  if (const auto chainPlot = chainPlotChosen()) {
    switch (chainPlot->type) {
      case ChainPlotType::ranks:
        return rankHistogramPurpose(columnName);
      case ChainPlotType::rankEcdf:
        return rankEcdfPurpose(columnName);
      case ChainPlotType::ess:
        return essProfilePurpose(columnName, chainPlot->kind);
    }
  }
  return mainChartPurpose(columnName, chosenPlotType());
}

void DetailsPage::PlotColumn(int column) { requestColumnFigures(column, false); }

void DetailsPage::requestColumnFigures(int column, bool defaultBandwidth) {
  // an invalid data range text recomputes nothing: the edit is marked and the last results stay,
  // shown as no longer current
  const auto rows = retainedRowRange();
  if (!rows) {
    showFiguresUpdating(true);
    return;
  }
  if (!state.open()) {
    clearColumnFigures();
    return;
  }
  // a replot of the column whose default bandwidth is still being found keeps asking for it: the
  // track bar does not hold that bandwidth yet
  if (!defaultBandwidth && figuresWanted_ && !figuresWanted_->bandwidthPosition &&
      figuresWanted_->column == column && figuresWanted_->chains.front().table == state.firstTable())
    defaultBandwidth = true;
  ColumnFiguresInput input;
  // the rows are valid: both edits hold whole numbers
  input.chains = retainedChains(*burnRange_.burnIn,
                                *burnRange_.burnOut);
  input.column = column;
  input.modelFilter = state.modelFilter;
  input.layout = state.layout();
  input.modelColumn = input.layout.modelColumn();
  input.levelPercent = Cpc->position();
  if (!defaultBandwidth) input.bandwidthPosition = lambda_dens->position();
  input.keptBandwidthPosition = lambda_dens->position();
  input.plotType = chosenPlotType();
  input.classCount = histogramClasses_;
  // ESS by burn-in and the plots of the chains: the statistics of the sample as for its trace, the
  // chart from its own job
  const bool ess = essBurnIn->isChecked();
  const std::optional<ChainPlotChoice> chainPlot = chainPlotChosen();
  input.wholeColumn = input.plotType == PlotType::trace && !ess && !chainPlot && host_.showBurnInRows();
  if (figuresWanted_) {
    ColumnFiguresInput asked = input;
    asked.diagnose = figuresWanted_->diagnose;  // where the diagnostics come from changes no figure
    if (*figuresWanted_ == asked && essWanted_ == ess) {
      if (chainPlotWanted_ == chainPlot) return;  // asked for already
      // another plot of the chains of the same sample: its statistics stay
      if (chainPlot && chainPlotWanted_) {
        chainPlotWanted_ = chainPlot;
        host_.dropPassingStatus();
        if (figuresShown_ && figuresShown_ == figuresWanted_) requestChainPlot(*figuresShown_);
        return;
      }
    }
  }
  std::shared_ptr<const SampleDiagnostics> known;
  if (sampleDiagnostics_) {
    ColumnFiguresInput sample = sampleDiagnostics_->sample;
    bool kept = true;
    for (std::size_t c = 0; c < sample.chains.size(); ++c)
      kept = (sample.chains[c].table = sampleDiagnostics_->tables[c].lock()) && kept;
    if (kept && sameSample(sample, input)) known = sampleDiagnostics_;
  }
  // the diagnostics come with the figures only when known already; otherwise their own job follows
  input.diagnose = false;
  host_.dropPassingStatus();
  const bool otherColumn = !figuresWanted_ || figuresWanted_->column != input.column;
  figuresWanted_ = input;
  essWanted_ = ess;
  chainPlotWanted_ = chainPlot;
  showFiguresUpdating(true);
  if (otherColumn && columnChosen) columnChosen();

  JobRunner::Job job;
  job.title = "Computing the statistics";
  job.work = [this, input, known, ess, chainPlot](Progress&) -> JobRunner::Apply {
    auto figures = std::make_shared<ColumnFigures>(computeColumnFigures(input));
    if (known) {
      figures->diagnostics = known->diagnostics;
      figures->chainsNote = known->chainsNote;
      // the HPDI limits move with the level: their errors are found again, the diagnostics not
      if (known->diagnostics && figures->sampleCount > 1)
        figures->mcse = sampleMcse(input, figures->statistics, *known->diagnostics);
    }
    if (ess || chainPlot) std::vector<FigureLine>().swap(figures->lines);  // the chart comes from its own job
    auto line = std::make_shared<const ColumnLine>(columnLineData(*figures));
    // several lines: each chain's, drawn overlaid, with the rows outside each sample of a whole-column trace
    auto chainLines = std::make_shared<std::vector<ColumnLine>>();
    auto chainsOutside = std::make_shared<std::vector<ColumnLine>>();
    if (figures->lines.size() > 1) {
      for (const FigureLine& chain : figures->lines) {
        chainLines->push_back(columnLineData(chain.x, chain.y));
        if (figures->tableRows > 0) chainsOutside->push_back(columnLineData(chain.outsideX, chain.outsideY));
      }
    }
    auto outside = std::make_shared<const ColumnLine>(figures->bars || figures->lines.empty()
                                                          ? ColumnLine{}
                                                          : columnLineData(figures->lines.front().outsideX,
                                                                           figures->lines.front().outsideY));
    if (!figures->bars) {
      // the points live on in the lines: their memory is given back here, not on the window's thread
      std::vector<FigureLine>().swap(figures->lines);
    }
    return [this, input, figures, line, outside, chainLines, chainsOutside, diagnosed = static_cast<bool>(known),
            ess, chainPlot] {
      const bool shown = applyColumnFigures(input, *figures);
      if (shown && !diagnosed && figures->sampleCount > 1) requestSampleDiagnostics(input, figures->statistics);
      if (shown && ess) {
        if (figures->sampleCount > 1) requestEssByBurnIn(input);
      } else if (shown && chainPlot) {
        if (figures->sampleCount > 1) requestChainPlot(input);
      } else if (shown && figures->sampleCount > 1 && !chainLines->empty()) {
        showChainLines(*chainLines, *chainsOutside);
      } else if (shown && figures->sampleCount > 1 && !figures->bars) {
        std::optional<QCPRange> contextKeys;
        if (figures->tableRows > 0 && outside->data && !outside->data->isEmpty()) {
          // the rows outside the sample, in the series' style: they widen the x axis only
          burnSerie->setData(outside->data);
          burnSerie->setLineStyle(Serie->lineStyle());
          QCPScatterStyle marks = Serie->scatterStyle();
          if (marks.isPenDefined()) marks.setPen(burnSerie->pen());
          burnSerie->setScatterStyle(marks);
          burnSerie->setVisible(true);
          contextKeys = outside->keys;
        }
        showColumnLine(MainChart{Chart1, Serie, histogram}, *line, contextKeys);
      }
      if (shown) placeBurnInMarks();
      if (shown && figuresApplied) figuresApplied();
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("The statistics cannot be computed: " + QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::figures, std::move(job));
}

void DetailsPage::requestSampleDiagnostics(const ColumnFiguresInput& input, const ColumnStatistics& statistics) {
  JobRunner::Job job;
  job.title = "Computing the convergence diagnostics";
  job.work = [this, input, statistics](Progress&) -> JobRunner::Apply {
    auto note = std::make_shared<std::string>();
    auto diagnostics =
        std::make_shared<const std::optional<ConvergenceDiagnostics>>(sampleDiagnostics(input, *note));
    std::optional<McseFigures> errors;
    if (*diagnostics) errors = sampleMcse(input, statistics, **diagnostics);
    return [this, input, diagnostics, note, errors] {
      ColumnFiguresInput sample = input;
      std::vector<std::weak_ptr<const SampleTable>> tables;
      for (ChainRows& chain : sample.chains) {
        tables.push_back(chain.table);
        chain.table.reset();
      }
      sampleDiagnostics_ = std::make_shared<const SampleDiagnostics>(
          SampleDiagnostics{std::move(tables), sample, *diagnostics, *note});
      // shown only under the figures of this very sample
      if (figuresShown_ && figuresShown_ == figuresWanted_ && sameSample(*figuresShown_, input)) {
        convergence->setText(convergenceText(*diagnostics, *note));
        convergence->setToolTip(convergence->text());  // the whole line where the box is narrow
        showMcse(errors);
      }
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("The convergence diagnostics cannot be computed: " + QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::diagnostics, std::move(job));
}

QString DetailsPage::convergenceText(const std::optional<ConvergenceDiagnostics>& diagnostics,
                                const std::string& chainsNote) const {
  QString text = diagnostics ? QString::fromStdString(convergenceLine(*diagnostics)) : QString();
  if (!chainsNote.empty()) text += (text.isEmpty() ? "" : "; ") + QString::fromStdString(chainsNote);
  return text;
}

void DetailsPage::showMcse(const std::optional<McseFigures>& figures) {
  const QString text = figures ? QString::fromStdString(mcseLine(*figures)) : QString();
  // the line reaches the window's edge: a smaller font rather than a clipped line
  QFont font = Details->font();
  while (QFontMetrics(font).horizontalAdvance(text) > mcse->width() && font.pointSizeF() > 6)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  mcse->setFont(font);
  mcse->setText(text);
  // the whole line where the box is narrow, and what the limits' errors are
  mcse->setToolTip(figures ? mcse->text() + "\n" + kMcseToolTip : kMcseToolTip);
}

bool DetailsPage::EssCurve::describes(const ColumnFiguresInput& input, long long burnOutRows) const {
  if (column != input.column || layout != input.layout || modelFilter != input.modelFilter ||
      burnOut != burnOutRows || tables.size() != input.chains.size())
    return false;
  for (std::size_t c = 0; c < tables.size(); ++c)
    if (tables[c].lock() != input.chains[c].table) return false;
  return true;
}

void DetailsPage::showEssByBurnIn(const std::vector<EssAtBurnIn>& curve) {
  chainSeries_ = varno::showEssByBurnIn(MainChart{Chart1, Serie, histogram}, curve,
                                        {static_cast<double>(burnRange_.burnIn.value_or(0)),
                                         static_cast<double>(suggestedRows_.value_or(0))},
                                        chainSeries_);
  essShown_ = true;
  placeBurnInMarks();
  if (curve.empty())
    host_.setPassingStatus("ESS by burn-in: " + xi->currentText() +
                           " is not a sampled quantity (a counter or the Model column) and has no ESS");
}

void DetailsPage::requestEssByBurnIn(const ColumnFiguresInput& input) {
  const long long burnOut = burnRange_.burnOut.value_or(0);
  if (essCurve_ && essCurve_->describes(input, burnOut)) {
    showEssByBurnIn(*essCurve_->points);
    return;
  }
  JobRunner::Job job;
  job.title = "Computing ESS by burn-in";
  job.work = [this, input, burnOut](Progress& progress) -> JobRunner::Apply {
    auto curve = std::make_shared<const std::vector<EssAtBurnIn>>(essByBurnIn(
        input.chains, input.column - 1, input.layout, input.modelFilter, burnOut, workerThreads(), progress));
    return [this, input, burnOut, curve] {
      EssCurve known{{}, input.column, input.layout, input.modelFilter, burnOut, curve};
      for (const ChainRows& chain : input.chains) known.tables.push_back(chain.table);
      essCurve_ = std::move(known);
      // drawn only for the figures on screen, while ESS by burn-in is still the plot asked for
      if (!figuresShown_ || !(figuresShown_ == figuresWanted_) || !sameSample(*figuresShown_, input) || !essWanted_)
        return;
      showEssByBurnIn(*curve);
    };
  };
  job.failed = [this](const std::string& error) {
    reportError("ESS by burn-in cannot be computed: " + QString::fromStdString(error));
  };
  jobs_->start(JobRunner::Lane::curve, std::move(job));
}

void DetailsPage::showSuggestedBurnIn(std::optional<long long> rows, const QString& toolTip) {
  suggestedRows_ = rows;
  suggestedToolTip_ = rows ? toolTip : QString();
  placeBurnInMarks();
}

void DetailsPage::placeBurnInMarks() {
  std::optional<double> suggested, current;
  if (figuresShown_ && essShown_) {
    if (suggestedRows_) suggested = static_cast<double>(*suggestedRows_);
    if (burnRange_.burnIn) current = static_cast<double>(*burnRange_.burnIn);
  } else if (figuresShown_ && figuresShown_->plotType == PlotType::trace && !essWanted_ && !chainPlotWanted_ &&
             suggestedRows_ && state.sampleCount > 1) {
    suggested = burnInTraceX(*figuresShown_, *suggestedRows_);
  }
  suggestedMark_->show(suggested, suggestedToolTip_);
  currentMark_->show(current, current ? QString("burn-in set: %1 rows").arg(QLocale(QLocale::English).toString(
                                                                              static_cast<qint64>(*current)))
                                      : QString());
  Chart1->replot(QCustomPlot::rpQueuedReplot);
}

void DetailsPage::showChainLines(const std::vector<ColumnLine>& lines, const std::vector<ColumnLine>& outside) {
  if (!lines.empty()) burnSerie->setVisible(false);
  chainSeries_ =
      varno::showChainLines(MainChart{Chart1, Serie, histogram}, lines, state.chainFileNames(), chainSeries_, outside);
}

void DetailsPage::clearColumnFigures() {
  showChainLines({});
  figuresShown_.reset();
  figuresWanted_.reset();
  state.sampleCount = 0;
  state.sampleSumSquares = 0;
  for (QLineEdit* e : {min, max, m, var_edit, HPDI, width, accuracy, mode}) e->clear();
  convergence->clear();
  showMcse(std::nullopt);
  essShown_ = false;
  clearChainPlot();
  Chart1->xAxis->setLabel({});
  suggestedMark_->show(std::nullopt);
  currentMark_->show(std::nullopt);
  showBandwidthNote({});
  showFiguresUpdating(false);
  Stats->setTitle(kStatsTitle);
  Serie->data()->clear();
  burnSerie->data()->clear();
  histogram->data()->clear();
  Chart1->replot();
}

void DetailsPage::showRowsDescribed(const std::vector<ChainRows>& chains) {
  // the rows the figures were computed on, never those of the files now, which may have grown
  const QString rows = QString::fromStdString(rowsDescribed(chains));
  QString title = " Statistics of " + rows + ": ";
  // several chains of different lengths name every chain's rows: too long for the box's title
  if (Stats->fontMetrics().horizontalAdvance(title) > Stats->width() - 20) {
    long long count = 0;
    for (const ChainRows& chain : chains) count += chain.rows.count();
    title = " Statistics of " + QString::fromStdString(groupedCount(count, "row", "rows")) + ": ";
  }
  Stats->setTitle(title);
}

bool DetailsPage::applyColumnFigures(const ColumnFiguresInput& input, const ColumnFigures& figures) {
  // a newer request supersedes this result: its figures would describe other inputs
  if (!figuresWanted_ || !(*figuresWanted_ == input)) return false;
  figuresShown_ = input;
  showFiguresUpdating(false);
  showRowsDescribed(input.chains);
  state.sampleCount = figures.sampleCount;
  state.sampleSumSquares = figures.sumSquares;
  if (!input.bandwidthPosition && figures.sampleCount > 1) {
    // the default bandwidth was chosen with the figures: the track bar shows it, and the request
    // it would make is the one just answered
    ColumnFiguresInput shown = input;
    shown.bandwidthPosition = figures.bandwidthPosition;
    shown.keptBandwidthPosition = figures.bandwidthPosition;
    figuresWanted_ = figuresShown_ = shown;
    lambda_dens->setPosition(figures.bandwidthPosition);
    Vlambda->setText(QString::fromStdString(figures.texts.lambda));
  }

  Serie->data()->clear();
  histogram->data()->clear();
  burnSerie->data()->clear();
  burnSerie->setVisible(false);
  const std::initializer_list<QLineEdit*> boxes = {min, max, m, var_edit, HPDI, width, accuracy, mode};
  showChainLines({});
  essShown_ = false;
  clearChainPlot();
  Chart1->xAxis->setLabel({});
  convergence->setText(figures.sampleCount > 1 ? convergenceText(figures.diagnostics, figures.chainsNote) : QString());
  convergence->setToolTip(convergence->text());
  showMcse(figures.sampleCount > 1 ? figures.mcse : std::nullopt);
  if (figures.sampleCount <= 1) {
    // too few values for any figure: nothing of the previous column may stay
    for (QLineEdit* e : boxes) e->clear();
    showBandwidthNote({});
    Chart1->replot();
    return true;
  }
  showBandwidthNote(figures);
  const StatisticsTexts& texts = figures.texts;
  min->setText(QString::fromStdString(texts.min));
  max->setText(QString::fromStdString(texts.max));
  m->setText(QString::fromStdString(texts.mean));
  var_edit->setText(QString::fromStdString(texts.variance));
  HPDI->setText(QString::fromStdString(texts.hpdi));
  width->setText(QString::fromStdString(texts.width));
  accuracy->setText(QString::fromStdString(texts.accuracy));
  mode->setText(QString::fromStdString(texts.mode));
  Vlambda->setText(QString::fromStdString(texts.lambda));

  Serie->setVisible(!figures.bars);
  histogram->setVisible(figures.bars);
  if (figures.bars) showColumnBars(MainChart{Chart1, Serie, histogram}, figures);
  return true;
}

void DetailsPage::showBandwidthNote(const ColumnFigures& figures) {
  // the Diagnostics page gives every column the mode at its own default bandwidth: a bandwidth
  // moved by hand is said, so that the two modes are not taken for the same figure
  QString note;
  const auto preferred = defaultBandwidthPosition(figures.sampleCount, figures.sumSquares);
  if (preferred && *preferred != figures.bandwidthPosition)
    note = QString("Mode at Lambda = %1, the bandwidth set by hand; this sample's default, which the Diagnostics "
                   "page uses, is Lambda = %2")
               .arg(QString::fromStdString(generalFormat(bandwidthOfPosition(figures.bandwidthPosition), 6)),
                    QString::fromStdString(generalFormat(bandwidthOfPosition(*preferred), 6)));
  mode->setToolTip(note);
  bandwidthNote_ = note;
  Stats->setToolTip(note);
}

void DetailsPage::replotAtDefaultBandwidth() {
  if (state.dataExtension != ".frq") {
    requestColumnFigures(xi->currentIndex() + 1, true);
    return;
  }
  const int column = frqColumn(state.alleleCounts, Locus->currentIndex(), Allele->currentIndex());
  if (column > 0) requestColumnFigures(column, true);
}

void DetailsPage::showFiguresUpdating(bool updating) {
  // the last figures stay readable but grey until figures of the current inputs replace them
  const QPalette& window = Details->window()->palette();
  const QColor text = updating ? QColor(150, 150, 150) : window.color(QPalette::Text);
  for (QLineEdit* e : {min, max, m, var_edit, HPDI, width, accuracy, mode}) {
    QPalette p = e->palette();
    p.setColor(QPalette::Text, text);
    e->setPalette(p);
  }
  for (QLabel* line : {convergence, mcse}) {
    QPalette p = line->palette();
    p.setColor(QPalette::WindowText, updating ? text : window.color(QPalette::WindowText));
    line->setPalette(p);
  }
  Stats->setToolTip(updating ? "Updating: these figures describe the previous settings" : bandwidthNote_);
}

PlotType DetailsPage::chosenPlotType() const {
  return histo->isChecked()      ? PlotType::histogram
         : mean->isChecked()     ? PlotType::runningMean
         : density->isChecked()  ? PlotType::density
         : autocorr->isChecked() ? PlotType::autocorrelation
                                 : PlotType::trace;
}

void DetailsPage::ReplotCurrentColumn() {
  if (state.dataExtension != ".frq") {
    PlotColumn(xi->currentIndex() + 1);
  } else {
    AlleleChange();
  }
}

void DetailsPage::SetDefaultBandwidth() {
  // figures still being computed: the bandwidth comes with them, from the sample they use
  if (!figuresShown_ || !(figuresShown_ == figuresWanted_)) {
    if (figuresWanted_) requestColumnFigures(figuresWanted_->column, true);
    return;
  }
  if (const auto position = defaultBandwidthPosition(state.sampleCount, state.sampleSumSquares))
    lambda_dens->setPosition(*position);
}

void DetailsPage::xiChange() { requestColumnFigures(xi->currentIndex() + 1, true); }

void DetailsPage::LocusChange() {
  Allele->clear();
  for (const std::string& entry : alleleEntries(state.alleleCounts, Locus->currentIndex()))
    Allele->addItem(QString::fromStdString(entry));
  Allele->setCurrentIndex(Allele->count() > 0 ? 0 : -1);
  AlleleChange();
}

void DetailsPage::AlleleChange() {
  const int column = frqColumn(state.alleleCounts, Locus->currentIndex(), Allele->currentIndex());
  if (column > 0) {
    PlotColumn(column);
  } else {
    clearColumnFigures();  // a locus without alleles has no figures, least of all another's
  }
}

void DetailsPage::normalClick() { plotTypeClicked(); }
void DetailsPage::meanClick() { plotTypeClicked(); }
void DetailsPage::densityClick() { plotTypeClicked(); }
void DetailsPage::autocorrClick() { plotTypeClicked(); }
void DetailsPage::essBurnInClick() { plotTypeClicked(); }
void DetailsPage::histoClick() { plotTypeClicked(); }
void DetailsPage::ranksClick() { plotTypeClicked(); }
void DetailsPage::rankEcdfClick() { plotTypeClicked(); }
void DetailsPage::essProfileClick() { plotTypeClicked(); }

void DetailsPage::plotTypeClicked() {
  // the class count is the histogram's, or the bins of Ranks while it is chosen
  nb_histo->setEnabled(histo->isChecked() || ranks->isChecked());
  showClassCount(ranks->isChecked() ? rankBins_ : histogramClasses_);
  ReplotCurrentColumn();
}

void DetailsPage::essKindChange() {
  if (essProfile->isChecked()) ReplotCurrentColumn();
}

void DetailsPage::showClassCount(int count) {
  // the edit's handler takes the count and replots
  if (nb_histo2->text() != QString::number(count)) nb_histo2->setText(QString::number(count));
}

void DetailsPage::nb_histo2Change() {
  const LimitedEditOutcome outcome = classCountTextChanged(nb_histo2->text().toStdString());
  if (outcome.rewriteText) {
    nb_histo2->setText(QString::fromStdString(*outcome.rewriteText));  // runs this handler again
    return;
  }
  nb_histo->setPosition(outcome.spinnerPosition);
  (ranks->isChecked() ? rankBins_ : histogramClasses_) = nb_histo->position();
  ReplotCurrentColumn();
}

void DetailsPage::Cpc2Change() {
  const LimitedEditOutcome outcome = levelTextChanged(Cpc2->text().toStdString());
  if (outcome.rewriteText) {
    Cpc2->setText(QString::fromStdString(*outcome.rewriteText));  // runs this handler again
    return;
  }
  Cpc->setPosition(outcome.spinnerPosition);
  ReplotCurrentColumn();
}

void DetailsPage::lambda_densChange() {
  Vlambda->setText(
      QString::fromStdString(generalFormat(bandwidthOfPosition(lambda_dens->position()), 6)));
  ReplotCurrentColumn();
}

void DetailsPage::lambda_defaultClick() { SetDefaultBandwidth(); }

}  // namespace varno
