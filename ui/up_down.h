// An up-down spinner bound to an edit: its arrows move the position within the range and write it
// into the edit, whose own change handler then runs. The edit accepts any text.
#pragma once

#include <QLineEdit>
#include <QWidget>

class QToolButton;

namespace varno {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(const QString& name, QLineEdit* associate, int minimum, int maximum, int position,
         QWidget* parent);

  int position() const { return position_; }
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  // Kept within the range; does not write the edit (the edit's handler sets it from the text).
  void setPosition(int position);
  // The arrows, as the user presses them: move by step and write the new position into the edit.
  void step(int delta);
  QToolButton* upButton() const { return up_; }
  QToolButton* downButton() const { return down_; }

 private:
  QLineEdit* associate_;
  int minimum_, maximum_, position_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace varno
