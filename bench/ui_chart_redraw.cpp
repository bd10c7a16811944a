// Redrawing the main chart with a 1,000,000-point trace, as the Details page draws it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <qcustomplot.h>

#include "charts/chart_setup.h"

namespace {

void BM_TraceRedraw(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  QWidget parent;
  QCustomPlot* chart = varno::makeChart("Chart1", &parent);
  chart->resize(609, 545);
  QCPGraph* serie = chart->addGraph();
  QVector<QCPGraphData> data(n);
  double v = 0.5;
  for (int i = 0; i < n; ++i) {
    v = 0.95 * v + 0.05 * (0.5 + 0.4 * std::sin(i * 0.001) + 0.1 * std::cos(i * 0.37));
    data[i] = QCPGraphData(i, v);
  }
  serie->data()->set(data, true);
  varno::fitAxesToData(chart);
  for (auto _ : state) chart->replot(QCustomPlot::rpImmediateRefresh);
  state.SetLabel(std::to_string(n) + " points");
}
BENCHMARK(BM_TraceRedraw)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
