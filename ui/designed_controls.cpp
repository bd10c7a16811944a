// The window's controls as they are designed.
#include "ui/designed_controls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>

namespace varno {

QLabel* label(const QString& name, const QString& text, QWidget* parent, int x, int y) {
  auto* l = named(new QLabel(text, parent), name);
  l->move(x, y);
  l->adjustSize();
  return l;
}

QComboBox* dropDown(const QString& name, QWidget* parent, QRect geometry, int visibleRows) {
  auto* c = named(new QComboBox(parent), name);
  c->setGeometry(geometry);
  c->setMaxVisibleItems(visibleRows);
  c->setEditable(false);  // selection only
  return c;
}

QLineEdit* edit(const QString& name, const QString& text, QWidget* parent, QRect geometry) {
  auto* e = named(new QLineEdit(text, parent), name);
  e->setGeometry(geometry);
  return e;
}

QLineEdit* display(const QString& name, QWidget* parent, QRect geometry) {
  auto* e = edit(name, QString(), parent, geometry);
  e->setReadOnly(true);
  e->setFrame(false);
  e->setFocusPolicy(Qt::ClickFocus);
  QPalette p = e->palette();
  p.setColor(QPalette::Base, Qt::transparent);
  e->setPalette(p);
  return e;
}

}  // namespace varno
