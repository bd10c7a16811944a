// The window's status bar: a message too long for the room left of the permanent parts is cut with
// "…" instead of running under them, and its whole text is the bar's tooltip.
#pragma once

#include <QStatusBar>

namespace varno {

class ElidingStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit ElidingStatusBar(QWidget* parent = nullptr);

  // Where the message is drawn: from the left edge to the first permanent part shown.
  QRect messageArea() const;
  // The message as it is drawn in that area.
  QString shownMessage() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace varno
