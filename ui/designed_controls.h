// The window's controls as they are designed: named, placed, and set up as each kind is shown.
#pragma once

#include <QRect>
#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace varno {

template <class W>
W* named(W* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

QLabel* label(const QString& name, const QString& text, QWidget* parent, int x, int y);
QComboBox* dropDown(const QString& name, QWidget* parent, QRect geometry, int visibleRows);
QLineEdit* edit(const QString& name, const QString& text, QWidget* parent, QRect geometry);
// Read-only, borderless, as the statistics are shown.
QLineEdit* display(const QString& name, QWidget* parent, QRect geometry);

}  // namespace varno
