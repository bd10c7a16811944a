// One window opening generated files of every kind in turn, for the soak test and benchmark.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "scripted_dialogs.h"
#include "tools/trace_generator.h"
#include "ui/plotwin2.h"
#include "wait_idle.h"
#include "window_parts.h"

namespace varno::testing {

class SoakRun {
 public:
  SoakRun() : form_(std::make_unique<TForm3>(dialogs_)) {
    // Shapes differ from file to file, so every open resizes the arrays of the one before.
    for (int v = 0; v < 3; ++v) {
      FstSpec spec;
      spec.rows = 1500 + 500 * v;
      spec.populations = 4 + 2 * v;
      spec.factors = v == 2 ? 3 : 2;
      spec.interaction = v == 2;
      spec.seed = 11 + v;
      fst_.push_back({path("fst", v, ".fst"), path("factors", v, ".txt"), spec.interaction});
      writeFstFile(spec, fst_.back().data);
      writeFactorsFile(spec, fst_.back().factors);
      frq_.push_back(path("freq", v, ".frq"));
      writeFrqFile(FrqSpec{1000 + 700 * v, 2 + v, 4, static_cast<std::uint64_t>(21 + v)}, frq_.back());
      ml_.push_back(path("chain", v, ".ml"));
      writeMlFile(MlSpec{2000 - 400 * v, 3 + v, static_cast<std::uint64_t>(31 + v)}, ml_.back());
    }
    bad_ = path("header", 0, ".fst");
    writeText(bad_, "Iteration Sigma Loglik\n1 2 3\n");
  }

  TForm3& form() { return *form_; }
  int kinds() const { return 6; }

  // Opens the file of cycle i; true when the window ends as that open should leave it.
  bool cycle(int i) {
    dialogs_.questions.clear();
    dialogs_.errors.clear();
    dialogs_.messages.clear();
    dialogs_.openFilters.clear();
    const int v = (i / kinds()) % 3;
    std::string expected;
    switch (i % kinds()) {
      case 0: {  // unattended run from the command line, with its report
        const FstFiles& f = fst_[v];
        dialogs_.answers = {f.interaction};
        showPage(*form_, 1);  // where a new window starts, and the report needs the summary page
        form_->actOnCommandLine({qs(f.data), qs(f.factors)});
        expected = f.data;
        break;
      }
      case 1: {  // Open data file with its factors file
        const FstFiles& f = fst_[(v + 1) % 3];
        dialogs_.files = {qs(f.data), qs(f.factors)};
        dialogs_.answers = {true, f.interaction};
        trigger(*form_, "Open");
        expected = f.data;
        break;
      }
      case 2:
        dialogs_.files = {qs(frq_[v])};
        trigger(*form_, "Open");
        expected = frq_[v];
        break;
      case 3:
        drop(*form_, {qs(ml_[v])});
        expected = ml_[v];
        break;
      case 4: {  // a refused file: the analysis before it stays open
        expected = form_->analysis().dataFileName;
        dialogs_.files = {qs(bad_)};
        dialogs_.answers = {false};
        trigger(*form_, "Open");
        settle();
        return dialogs_.errors.size() == 1 && form_->analysis().dataFileName == expected;
      }
      case 5:
        expected = form_->analysis().dataFileName;
        trigger(*form_, "Refresh1");
        break;
    }
    settle();
    return dialogs_.errors.isEmpty() && form_->analysis().dataFileName == expected &&
           form_->analysis().open() && form_->analysis().firstTable()->rowCount() > 0;
  }

 private:
  struct FstFiles {
    std::string data, factors;
    bool interaction;
  };

  // The summary finished and the objects the window let go of deleted.
  void settle() {
    waitUntilIdle(*form_);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::string path(const char* stem, int v, const char* ext) const {
    return dir_.filePath(QString("%1%2%3").arg(stem).arg(v).arg(ext)).toStdString();
  }
  static QString qs(const std::string& s) { return QString::fromStdString(s); }
  static void writeText(const std::string& p, const char* text) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(p.c_str(), "wb"), &std::fclose);
    if (f) std::fputs(text, f.get());
  }

  QTemporaryDir dir_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<TForm3> form_;
  std::vector<FstFiles> fst_;
  std::vector<std::string> frq_, ml_;
  std::string bad_;
};

}  // namespace varno::testing
