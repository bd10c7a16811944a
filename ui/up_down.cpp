// An up-down spinner bound to an edit.
#include "ui/up_down.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace varno {

UpDown::UpDown(const QString& name, QLineEdit* associate, int minimum, int maximum, int position,
               QWidget* parent)
    : QWidget(parent), associate_(associate), minimum_(minimum), maximum_(maximum),
      position_(std::clamp(position, minimum, maximum)) {
  setObjectName(name);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = new QToolButton(this);
  down_ = new QToolButton(this);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(b);
  }
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  connect(up_, &QToolButton::clicked, this, [this] { step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::setPosition(int position) { position_ = std::clamp(position, minimum_, maximum_); }

void UpDown::step(int delta) {
  if (!isEnabled()) return;
  setPosition(position_ + delta);
  associate_->setText(QString::number(position_));
}

}  // namespace varno
