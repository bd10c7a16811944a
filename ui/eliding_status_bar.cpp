// The window's status bar with its message elided before the permanent parts.
#include "ui/eliding_status_bar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace varno {

namespace {
constexpr int kMargin = 6;  // pixels between the message and the bar's edge or a permanent part
}

ElidingStatusBar::ElidingStatusBar(QWidget* parent) : QStatusBar(parent) {
  connect(this, &QStatusBar::messageChanged, this, [this](const QString& text) {
    setToolTip(text);
    update();
  });
}

QRect ElidingStatusBar::messageArea() const {
  int right = width() - kMargin;
  for (const QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isVisible() && child->x() > kMargin) right = std::min(right, child->x() - kMargin);
  return QRect(kMargin, 0, std::max(0, right - kMargin), height());
}

QString ElidingStatusBar::shownMessage() const {
  return fontMetrics().elidedText(currentMessage(), Qt::ElideRight, messageArea().width());
}

void ElidingStatusBar::paintEvent(QPaintEvent* event) {
  if (currentMessage().isEmpty()) {
    QStatusBar::paintEvent(event);
    return;
  }
  // the toolkit's own drawing would cut the text at the permanent parts, mid-letter
  QPainter p(this);
  QStyleOption option;
  option.initFrom(this);
  style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &p, this);
  p.setPen(palette().windowText().color());
  p.drawText(messageArea(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, shownMessage());
}

}  // namespace varno
