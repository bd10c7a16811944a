// How long the window's thread is kept from its events while it follows four chains that a
// sampler keeps writing, with the Diagnostics page shown, against what one Reload (F5) of the
// same files costs: the longest gap a 1 ms timer sees, and the time each takes.
// Arguments: rows at the start of each chain (default 200,000), columns (default 20), seconds
// of following (default 15).
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/event_loop_gaps.h"
#include "tests/ui/scripted_dialogs.h"
#include "tests/ui/window_parts.h"
#include "tools/trace_generator.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace {

using varno::bench::GapProbe;
using varno::bench::runUntil;

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const long long startRows = argc > 1 ? std::atoll(argv[1]) : 200'000;
  const int columns = argc > 2 ? std::atoi(argv[2]) : 20;
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 15;
  constexpr int kChains = 4;
  constexpr long long kRowsPerWrite = 1'000;
  constexpr int kWritesPerSecond = 4;
  const long long extraRows = kRowsPerWrite * kWritesPerSecond * (seconds + 2);

  // each chain's whole run generated first; the files start with its first rows
  std::vector<std::vector<std::string>> runs;
  std::vector<std::string> files;
  for (int c = 0; c < kChains; ++c) {
    varno::MlSpec spec;
    spec.rows = startRows + extraRows;
    spec.columns = columns;
    spec.seed = 11 + c;
    const std::string whole = dir.filePath(QString("whole%1.ml").arg(c + 1)).toStdString();
    varno::writeMlFile(spec, whole);
    runs.push_back(linesOf(whole));
    files.push_back(dir.filePath(QString("chain%1.ml").arg(c + 1)).toStdString());
    std::ofstream out(files.back(), std::ios::binary);
    for (long long r = 0; r < startRows; ++r) out << runs.back()[r];
  }

  varno::testing::ScriptedDialogs dialogs;
  varno::TForm3 form(dialogs);
  form.show();
  QStringList chains;
  for (int c = 1; c < kChains; ++c) chains << QString::fromStdString(files[c]);
  form.actOnCommandLine({QString::fromStdString(files[0])}, chains);
  runUntil([&] { return form.jobs().idle(); });
  varno::testing::part<QTabWidget>(form, "Pages")->setCurrentIndex(2);
  runUntil([&] { return form.jobs().idle(); });

  // the sampler: a thousand rows to every chain four times a second, written a line at a time
  std::atomic<bool> writing{true};
  std::thread sampler([&] {
    long long next = startRows;
    while (writing && next + kRowsPerWrite <= static_cast<long long>(runs[0].size())) {
      for (int c = 0; c < kChains; ++c) {
        std::ofstream out(files[c], std::ios::binary | std::ios::app);
        for (long long r = next; r < next + kRowsPerWrite; ++r) out << runs[c][r];
      }
      next += kRowsPerWrite;
      std::this_thread::sleep_for(std::chrono::milliseconds(1000 / kWritesPerSecond));
    }
  });

  GapProbe probe;
  bool over = false;
  QTimer::singleShot(seconds * 1000, [&] { over = true; });
  probe.start();
  varno::testing::trigger(form, "FollowFiles1");
  runUntil([&] { return over; });
  writing = false;
  sampler.join();
  runUntil([&] { return form.jobs().idle(); });
  const double followGap = probe.stopMs();
  long long rows = 0;
  for (const auto& chain : form.analysis().chains) rows += chain.table->rowCount();
  std::printf("following %d chains of %d columns for %d s (from %lld to %lld rows in all), Diagnostics shown: "
              "longest gap %.1f ms\n",
              kChains, columns, seconds, startRows * kChains, rows, followGap);

  // the same files read anew, as F5 does: what each round of following would cost otherwise
  varno::testing::trigger(form, "FollowFiles1");
  runUntil([&] { return form.jobs().idle(); });
  QElapsedTimer reload;
  probe.start();
  reload.start();
  varno::testing::trigger(form, "Refresh1");
  runUntil([&] { return form.jobs().idle(); });
  const double reloadGap = probe.stopMs();
  std::printf("Reload of the same %d chains: %.0f ms until the diagnostics showed, longest gap %.1f ms\n", kChains,
              reload.elapsed() * 1.0, reloadGap);
  return 0;
}
