// How long the window's thread is kept from its events: the longest gap a 1 ms timer sees while
// the window opens a 1 GB .fst file with its factors and summarises it on the Summary page, and
// while the burn-in track bar is dragged across 50 positions over a 10,000,000-row column.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/event_loop_gaps.h"
#include "tests/ui/scripted_dialogs.h"
#include "tests/ui/window_parts.h"
#include "tools/trace_generator.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"
#include "ui/track_bar.h"

namespace {

bool windowIdle(const varno::TForm3& form) { return form.jobs().idle(); }

using varno::bench::GapProbe;
using varno::bench::runUntil;

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  GapProbe probe;

  // 1,000,000 rows x 100 populations x 2 factors: about 1 GB
  varno::FstSpec spec;
  spec.rows = argc > 1 ? std::atoll(argv[1]) : 1'000'000;
  spec.populations = 100;
  const std::string data = dir.filePath("big.fst").toStdString();
  const std::string factors = dir.filePath("big.txt").toStdString();
  varno::writeFstFile(spec, data);
  {
    QFile f(QString::fromStdString(factors));
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::fromStdString(varno::factorsText(spec)));
  }
  {
    varno::testing::ScriptedDialogs dialogs;
    varno::TForm3 form(dialogs);
    form.show();
    dialogs.files = {QString::fromStdString(data), QString::fromStdString(factors)};
    dialogs.answers = {true, false};
    QElapsedTimer total;
    probe.start();
    total.start();
    varno::testing::trigger(form, "Open");
    runUntil([&] {
      return windowIdle(form) &&
             !varno::testing::part<QPlainTextEdit>(form, "mModel")->toPlainText().isEmpty();
    });
    const double gap = probe.stopMs();
    std::printf("open and summarise %lld rows x %d populations: %.0f ms in all, longest gap %.1f ms\n",
                static_cast<long long>(spec.rows), spec.populations, total.elapsed() * 1.0, gap);
  }
  QFile::remove(QString::fromStdString(data));

  // one 10,000,000-row column on the Details page, the burn-in dragged over 50 positions
  varno::MlSpec ml;
  ml.rows = argc > 2 ? std::atoll(argv[2]) : 10'000'000;
  ml.columns = 2;
  const std::string trace = dir.filePath("long.ml").toStdString();
  varno::writeMlFile(ml, trace);
  {
    varno::testing::ScriptedDialogs dialogs;
    varno::TForm3 form(dialogs);
    form.actOnCommandLine({QString::fromStdString(trace)});
    runUntil([&] { return windowIdle(form); });
    int position = 0;
    QTimer drag;
    drag.setInterval(16);  // a drag moves the bar about once a frame
    QObject::connect(&drag, &QTimer::timeout, [&] {
      ++position;
      varno::testing::part<varno::TrackBar>(form, "Tburnin")
          ->triggerAction(QAbstractSlider::SliderMove);
      varno::testing::part<varno::TrackBar>(form, "Tburnin")->setSliderPosition(position);
      if (position == 50) drag.stop();
    });
    QElapsedTimer total;
    probe.start();
    total.start();
    drag.start();
    runUntil([&] { return position == 50 && windowIdle(form); });
    const double gap = probe.stopMs();
    std::printf("drag over %lld rows: %.0f ms until the last figures and diagnostics showed, longest gap %.1f ms\n",
                static_cast<long long>(ml.rows), total.elapsed() * 1.0, gap);
  }
  return 0;
}
