// A window with scripted dialogs, small data files (or generated traces) written into a temporary
// folder, and the files it writes read back.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "scripted_dialogs.h"
#include "tools/trace_generator.h"
#include "wait_idle.h"
#include "ui/plotwin2.h"

namespace varno::testing {

struct WindowFixture : ::testing::Test {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TForm3> form = std::make_unique<TForm3>(dialogs);

  void idle() { EXPECT_TRUE(waitUntilIdle(*form)) << "the window's jobs did not finish"; }

  QString write(const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
  }
  // A generated trace, or the factors file that goes with it, written under `name`.
  QString writeTrace(const QString& name, const FstSpec& spec) {
    return write(name, QByteArray::fromStdString(fstText(spec)));
  }
  QString writeFactors(const QString& name, const FstSpec& spec) {
    return write(name, QByteArray::fromStdString(factorsText(spec)));
  }
};

// The whole content of a file; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Rows of an fst file: iteration, Sigma², log likelihood, P Fst values, model, alpha0..alphaK.
inline QByteArray fstRows(int rows, int populations, int factors, int (*modelOf)(int row)) {
  QByteArray text;
  for (int r = 0; r < rows; ++r) {
    text += QByteArray::number(r * 10) + " " + QByteArray::number(0.5 + 0.01 * (r % 7)) + " " +
            QByteArray::number(-100.0 - r % 5);
    for (int p = 0; p < populations; ++p)
      text += " " + QByteArray::number(0.05 + 0.01 * p + 0.001 * (r % 11));
    text += " " + QByteArray::number(modelOf(r));
    for (int f = 0; f <= factors; ++f) text += " " + QByteArray::number(0.1 * (f + 1) + 0.01 * (r % 3));
    text += "\n";
  }
  return text;
}

}  // namespace varno::testing
