// The window at 35,000 columns: a generated .frq of 10,000 loci (about 35,000 columns x 1,000
// rows) opened, its Diagnostics page filled, filtered, judged by a new convergence target, sorted,
// grouped, copied and saved, the target's dialog with every column in its list, and the
// column chooser of a 35,000-column trace opened and searched. For each, the longest time the
// window's thread was kept from its events; the page's filling against the tool's --summary of
// the same file, whole process.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "bench/event_loop_gaps.h"
#include "bench/tool_process.h"
#include "tests/ui/scripted_dialogs.h"
#include "tests/ui/window_parts.h"
#include "tools/trace_generator.h"
#include "ui/convergence_target_dialog.h"
#include "ui/diagnostics_table.h"
#include "ui/job_runner.h"
#include "ui/plotwin2.h"

namespace {

using varno::bench::GapProbe;
using varno::bench::runUntil;
using varno::testing::part;

// Runs `action` from the event loop, as a user's event would, and waits until the window is idle
// and has had the time to paint; prints the time until then and the longest gap.
void measure(GapProbe& probe, varno::TForm3& form, const char* what, const std::function<void()>& action) {
  bool acted = false, settled = false;
  QElapsedTimer total;
  probe.start();
  total.start();
  QTimer::singleShot(0, [&] {
    action();
    acted = true;
  });
  runUntil([&] { return acted && form.jobs().idle(); });
  const double busy = total.elapsed();
  QTimer::singleShot(30, [&] { settled = true; });
  runUntil([&] { return settled; });
  std::printf("%-48s %8.0f ms, longest gap %6.1f ms\n", what, busy, probe.stopMs());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  GapProbe probe;

  varno::FrqSpec spec;
  spec.loci = argc > 1 ? std::atoi(argv[1]) : 10'000;
  spec.maxAlleles = 3;
  spec.rows = 1000;
  const std::string frq = dir.filePath("wide.frq").toStdString();
  varno::writeFrqFile(spec, frq);

  QElapsedTimer clock;
  clock.start();
  const long toolMemory = varno::bench::runTool({"--summary", frq});
  const double toolMs = static_cast<double>(clock.elapsed());
  if (toolMemory < 0) std::printf("varno-report --summary failed (is it built?)\n");
  std::printf("varno-report --summary of %d loci x %lld rows: %.0f ms\n", spec.loci,
              static_cast<long long>(spec.rows), toolMs);
  {
    varno::testing::ScriptedDialogs dialogs;
    varno::TForm3 form(dialogs);
    form.resize(1200, 900);
    form.show();
    measure(probe, form, "open", [&] { form.actOnCommandLine({QString::fromStdString(frq)}); });
    std::printf("  %d columns\n", form.analysis().columnCount);

    QElapsedTimer filled;
    filled.start();
    measure(probe, form, "Diagnostics page filled",
            [&] { part<QTabWidget>(form, "Pages")->setCurrentIndex(2); });
    const double pageMs = static_cast<double>(filled.elapsed()) - 30;
    std::printf("  page / tool = %.2f (target <= 2)\n", pageMs / toolMs);

    auto* table = part<varno::DiagnosticsTable>(form, "diagnosticsTable");
    measure(probe, form, "sort by rhat, descending", [&] { table->sortByColumn(10, Qt::DescendingOrder); });
    measure(probe, form, "sort by name", [&] { table->sortByColumn(1, Qt::AscendingOrder); });
    measure(probe, form, "filter \"allele 2\"",
            [&] { part<QLineEdit>(form, "diagnosticsFilter")->setText("allele 2"); });
    measure(probe, form, "filter cleared", [&] { part<QLineEdit>(form, "diagnosticsFilter")->clear(); });
    measure(probe, form, "only columns that miss the target",
            [&] { part<QCheckBox>(form, "diagnosticsMissing")->setChecked(true); });
    measure(probe, form, "every column again", [&] { part<QCheckBox>(form, "diagnosticsMissing")->setChecked(false); });
    // a new target judges the rows shown at once; with the toggle on, the rows shown follow it
    part<QCheckBox>(form, "diagnosticsMissing")->setChecked(true);
    varno::ConvergenceTarget strict;
    strict.essBulk = 2000;
    dialogs.targets = {strict};
    measure(probe, form, "target ESS >= 2,000, toggle on", [&] { varno::testing::trigger(form, "convergenceTarget"); });
    varno::ConvergenceTarget listed;
    for (int c = 2; c < 2002; ++c) listed.columns.push_back(std::to_string(c));
    dialogs.targets = {listed};
    measure(probe, form, "target of 2,000 listed columns", [&] { varno::testing::trigger(form, "convergenceTarget"); });
    dialogs.targets = {varno::ConvergenceTarget{}};
    measure(probe, form, "default target", [&] { varno::testing::trigger(form, "convergenceTarget"); });
    part<QCheckBox>(form, "diagnosticsMissing")->setChecked(false);
    {
      // the dialog of the target with every column of the trace in its list
      varno::TargetOffer offer;
      for (int c = 2; c <= form.analysis().columnCount; ++c)
        offer.columns.push_back({c, "Locus " + std::to_string(c / 4) + " allele " + std::to_string(c % 4), std::to_string(c)});
      std::unique_ptr<varno::ConvergenceTargetDialog> dialog;
      measure(probe, form, "target dialog shown, every column listed", [&] {
        dialog = std::make_unique<varno::ConvergenceTargetDialog>(offer, &form);
        dialog->show();
      });
      measure(probe, form, "its list searched for \"allele 2\"",
              [&] { part<QLineEdit>(*dialog, "targetColumnFilter")->setText("allele 2"); });
    }
    measure(probe, form, "group by locus", [&] { part<QCheckBox>(form, "diagnosticsByLocus")->setChecked(true); });
    measure(probe, form, "sort grouped by ess_bulk", [&] { table->sortByColumn(8, Qt::AscendingOrder); });
    measure(probe, form, "select all", [&] { table->selectAll(); });
    measure(probe, form, "Ctrl+C of every row", [&] {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
      QCoreApplication::sendEvent(table, &press);
    });
    dialogs.files = {dir.filePath("diagnostics.csv")};
    measure(probe, form, "save the diagnostics table", [&] { varno::testing::trigger(form, "diag_save"); });
    part<QTabWidget>(form, "Pages")->setCurrentIndex(0);
    measure(probe, form, "locus chooser opened", [&] { part<QComboBox>(form, "Locus")->showPopup(); });
    part<QComboBox>(form, "Locus")->hidePopup();
  }

  varno::MlSpec ml;
  ml.columns = argc > 2 ? std::atoi(argv[2]) : 35'000;
  ml.rows = 200;
  const std::string wide = dir.filePath("wide.ml").toStdString();
  varno::writeMlFile(ml, wide);
  {
    varno::testing::ScriptedDialogs dialogs;
    varno::TForm3 form(dialogs);
    form.resize(1200, 900);
    form.show();
    measure(probe, form, "open a 35,000-column trace", [&] { form.actOnCommandLine({QString::fromStdString(wide)}); });
    QComboBox* xi = part<QComboBox>(form, "xi");
    measure(probe, form, "column chooser opened", [&] { xi->showPopup(); });
    measure(probe, form, "column chooser closed", [&] { xi->hidePopup(); });
    measure(probe, form, "typed \"1234\" (four keys at once)", [&] {
      xi->lineEdit()->selectAll();
      for (const char* key : {"1", "2", "3", "4"}) {
        QKeyEvent press(QEvent::KeyPress, key[0], Qt::NoModifier, QString::fromLatin1(key));
        QCoreApplication::sendEvent(xi->lineEdit(), &press);
      }
    });
    measure(probe, form, "Enter: column 1234 shown", [&] {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QCoreApplication::sendEvent(xi->lineEdit(), &press);
    });
    std::printf("  chosen: %s\n", xi->currentText().toStdString().c_str());
  }
  return 0;
}
