// The window's parts found the way a user names them, by their designed object names, and driven
// the way a user drives them.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>
#include <stdexcept>
#include <string>

#include "ui/plotwin2.h"

namespace varno::testing {

// The window's part of type T named `name`; a missing part ends the test with its name.
template <class T>
T* part(const QObject& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (!found) throw std::logic_error(std::string("the window has no part named ") + name);
  return found;
}

// A menu command chosen.
inline void trigger(const QObject& window, const char* action) {
  part<QAction>(window, action)->trigger();
}

// An entry of a drop-down chosen by the user: the selection, then the notice only the user's choice
// raises.
inline void choose(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

// A page tab clicked: the window may refuse the page, and computes what the page shows.
inline void showPage(const QObject& window, int index) {
  part<QTabWidget>(window, "Pages")->setCurrentIndex(index);
}

// Files dropped on the window from a file manager; the window opens them once the drop is over.
inline void drop(TForm3& window, const QStringList& paths) {
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  QMimeData data;
  data.setUrls(urls);
  // the toolkit hands a drop only to the widget that accepted the drag's entering
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &event);
  QCoreApplication::processEvents();  // the opening the drop leaves for after its own event
}

// True when the Summary page shows a summary: the window empties it as soon as it no longer
// describes the current rows, filter and factors.
inline bool summaryShown(const TForm3& window) {
  return !part<QPlainTextEdit>(window, "mModel")->toPlainText().isEmpty();
}

}  // namespace varno::testing
