// The tool's figures, drawn exactly as the window draws its charts, without a display.
#include "cli/figures.h"

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <qcustomplot.h>

#include "charts/chart_export.h"
#include "charts/chart_setup.h"
#include "charts/rank_charts.h"
#include "charts/window_charts.h"
#include "core/text_pieces.h"
#include "report/output_target.h"
#include "report/convergence_target.h"
#include "report/provenance_record.h"
#include "report/summary_table.h"
#include "stats/chain_diagnostics.h"
#include "stats/column_figures.h"
#include "stats/column_sample.h"
#include "stats/pooled_sample.h"
#include "stats/factor_plot.h"
#include "stats/rank_plots.h"

namespace varno {

namespace {

ChartFormat chartFormat(const FigureOptions& options) {
  return options.format == "svg"   ? ChartFormat::svg
         : options.format == "pdf" ? ChartFormat::pdf
                                   : ChartFormat::png;
}

// Whether the figures' folder is one, or can be made: its nearest existing ancestor is a folder.
std::optional<RunError> folderFault(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(folder, error)) {
    if (fs::is_directory(folder, error)) return std::nullopt;
    return RunError{"--figures " + quoted(folder) + " is a file, not a folder", true};
  }
  for (fs::path up = fs::absolute(folder, error).parent_path(); !up.empty(); up = up.parent_path()) {
    if (fs::exists(up, error)) {
      if (fs::is_directory(up, error)) return std::nullopt;
      return RunError{"cannot make the folder " + quoted(folder) + " for the figures: " + quoted(up.string()) +
                          " is a file",
                      false};
    }
    if (up == up.root_path()) break;
  }
  return std::nullopt;
}

// The column's figures across chains, after its main chart's: the rank plots and ESS profiles.
struct ChainFigure {
  QString kind;
  EssProfileKind ess = EssProfileKind::quantile;  // for the ESS figures
};
const ChainFigure kChainFigures[] = {{"ranks"},
                                     {"rank_ecdf"},
                                     {"ess_quantile", EssProfileKind::quantile},
                                     {"ess_local", EssProfileKind::local},
                                     {"ess_run", EssProfileKind::run}};

}  // namespace

std::optional<RunError> figureTargets(const UnattendedOptions& run, const FigureOptions& options,
                                      std::optional<int> columnCount, const std::vector<std::string>& otherOutputs,
                                      std::vector<std::string>& paths) {
  if (auto fault = folderFault(options.folder)) return fault;
  std::optional<int> column = options.column;
  if (columnCount) {
    // the window's first choice for an .fst file: the second column
    column = options.column.value_or(std::min(2, *columnCount));
    if (*column < 1 || *column > *columnCount) {
      return RunError{"--column " + decimal(*column) + " is not a column of \"" + run.dataPath + "\": it has " +
                          decimal(*columnCount) + " columns",
                      true};
    }
  }
  std::vector<QString> names{kG1FigureName, kG2FigureName, kHpdiFigureName, kModelFigureName};
  if (column) {
    names.push_back(columnFigureName(*column));
    for (const ChainFigure& f : kChainFigures) names.push_back(rankFigureName(f.kind, *column));
  }
  const QDir folder(QString::fromStdString(options.folder));
  const QString data = QString::fromStdString(run.dataPath);
  const std::vector<InputFile> inputs = runInputs(run.dataPath, run.factorsPath, run.chainPaths);
  paths.clear();
  for (const QString& name : names) {
    const std::string path = folder.filePath(figureFileName(data, name, chartFormat(options))).toStdString();
    if (auto why = inputFileTargeted(path, inputs)) return RunError{*why, true};
    for (const std::string& other : otherOutputs) {
      if (absolutePath(other) == absolutePath(path))
        return RunError{"the figure " + quoted(path) + " would replace another output of the run", true};
    }
    paths.push_back(path);
  }
  return std::nullopt;
}

FiguresResult writeFigures(const UnattendedCharts& charts, const UnattendedOptions& run,
                           const FigureOptions& options) {
  FiguresResult result;
  auto fail = [&](std::string message, bool fromArguments) {
    result.error = RunError{std::move(message), fromArguments};
    return result;
  };
  const int columnCount = charts.chains.front().table->columnCount();
  std::vector<std::string> targets;
  if (auto fault = figureTargets(run, options, columnCount, {}, targets)) {
    result.error = std::move(fault);
    return result;
  }
  const int column = options.column.value_or(std::min(2, columnCount));
  const ChartFormat format = chartFormat(options);

  // figures need no display: the offscreen platform draws them, whatever the environment says
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // the toolkit's notes about its environment (no runtime folder, no fonts cache) are no concern
  // of a pipeline: the tool's own messages say what went wrong
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
      std::fprintf(stderr, "varno-report: %s\n", message.toLocal8Bit().constData());
  });
  int argc = 1;
  char name[] = "varno-report";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);

  QWidget host;
  useWindowFont(&host);
  const MainChart main = makeMainChart(&host);
  const FactorChart g1 = makeFactorChart(&host, 1);
  const FactorChart g2 = makeFactorChart(&host, 2);
  const HpdiChart hpdi = makeHpdiChart(&host);
  const ModelChart model = makeModelChart(&host);

  showModelBars(model, charts.modelBars);
  showHpdis(hpdi, charts.hpdis, charts.populationCount);
  const bool hasInteraction = charts.decision.hasInteraction;
  const int factorCount = charts.decision.factorCount;
  for (const auto& [chart, index] : {std::pair{g1, 0}, std::pair{g2, 1}}) {
    if (index >= factorCount) {
      chart.chart->replot();  // no factor to plot against: the chart stays empty
      continue;
    }
    setChartTitle(chart.chart, QString::fromStdString(factorChartTitle(index, hasInteraction)));
    showFactorPoints(chart, factorPlotPoints(charts.fstMeans, charts.factorValues, index, true));
  }

  // a trace shows the column's sample in row order: none of the statistics are drawn; several
  // chains are drawn each apart, as the window draws them
  const int modelColumn = TableLayout{FileKind::fst, charts.populationCount, factorCount, hasInteraction}.modelColumn();
  if (charts.chains.size() > 1) {
    std::vector<ColumnLine> lines;
    for (const ChainRows& chain : charts.chains) {
      const std::vector<double> y = gatherColumnSample(*chain.table, column - 1, chain.rows, 0, modelColumn);
      std::vector<double> x(y.size());
      std::iota(x.begin(), x.end(), 1.0);
      lines.push_back(columnLineData(x, y));
    }
    std::vector<std::string> files{run.dataPath};
    files.insert(files.end(), run.chainPaths.begin(), run.chainPaths.end());
    showChainLines(main, lines, files, {});
  } else {
    const std::vector<double> trace = gatherPooledSample(charts.chains, column - 1, 0, modelColumn);
    if (trace.size() > 1) showColumnLine(main, columnLineData({}, trace));
  }

  if (!QDir().mkpath(QString::fromStdString(options.folder)))
    return fail("cannot make the folder \"" + options.folder + "\" for the figures", false);
  const QDir folder(QString::fromStdString(options.folder));
  const QString data = QString::fromStdString(run.dataPath);
  const struct {
    QCustomPlot* chart;
    QString name;
    int sizeFactor;  // the Summary charts are laid out at twice their size, as the window saves them
  } figuresToWrite[] = {{g1.chart, kG1FigureName, 2},
                        {g2.chart, kG2FigureName, 2},
                        {hpdi.chart, kHpdiFigureName, 2},
                        {model.chart, kModelFigureName, 2},
                        {main.chart, columnFigureName(column), 1}};
  for (const auto& f : figuresToWrite) {
    const QString path = folder.filePath(figureFileName(data, f.name, format));
    if (auto why = inputFileTargeted(path.toStdString(), runInputs(run.dataPath, run.factorsPath, run.chainPaths)))
      return fail(*why, true);
    const QByteArray bytes = chartBytes(f.chart, format, f.chart->size() * f.sizeFactor, options.scale);
    if (auto error = writeChartFile(bytes, path)) return fail(error->toStdString(), false);
    result.paths.push_back(path.toStdString());
  }

  // the same main chart, drawn anew for each figure across the chains
  const TableLayout layout{FileKind::fst, charts.populationCount, factorCount, hasInteraction};
  const ColumnChainDraws draws = columnChainDraws(charts.chains, column - 1, layout, 0);
  RankPlots plots;
  EssProfile profile;
  if (draws.diagnosed()) {
    plots = rankPlots(draws.perChain);
    profile = columnEssProfile(draws.perChain);
  }
  const std::vector<std::string> names = summaryColumnNames(*charts.chains.front().table, layout);
  const QString columnName = QString::fromStdString(names.at(static_cast<std::size_t>(column - 1)));
  const std::optional<double> target =
      plots.chains.empty() ? std::nullopt : std::optional(defaultTargetEss(static_cast<int>(plots.chains.size())));
  RankFigure drawn;
  for (const ChainFigure& f : kChainFigures) {
    QString purpose;
    if (f.kind == "ranks") {
      drawn = showRankHistogram(main, plots.histogram, plots.chains, std::move(drawn));
      purpose = rankHistogramPurpose(columnName);
    } else if (f.kind == "rank_ecdf") {
      drawn = showRankEcdf(main, plots.ecdf, plots.chains, std::move(drawn));
      purpose = rankEcdfPurpose(columnName);
    } else {
      drawn = showEssProfile(main, profile, f.ess, target, std::move(drawn));
      purpose = essProfilePurpose(columnName, f.ess);
    }
    const QString path = folder.filePath(figureFileName(data, rankFigureName(f.kind, column), format));
    if (auto why = inputFileTargeted(path.toStdString(), runInputs(run.dataPath, run.factorsPath, run.chainPaths)))
      return fail(*why, true);
    QByteArray bytes;
    {
      const FigureTitle title(main.chart, purpose);
      bytes = chartBytes(main.chart, format, main.chart->size(), options.scale);
    }
    if (auto error = writeChartFile(bytes, path)) return fail(error->toStdString(), false);
    result.paths.push_back(path.toStdString());
  }
  return result;
}

}  // namespace varno
