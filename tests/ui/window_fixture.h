// A window with scripted dialogs, and small data files written into a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "scripted_dialogs.h"
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
};

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
