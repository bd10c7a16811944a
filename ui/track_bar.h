// A track bar whose change handler runs at once, and only on a real change, whether the user or
// the program moved it; the handler can tell which.
#pragma once

#include <QSlider>

namespace varno {

class TrackBar : public QSlider {
  Q_OBJECT
 public:
  TrackBar(const QString& name, int minimum, int maximum, int tickInterval, int position,
           QWidget* parent);

  int position() const { return value(); }
  // Limited to the range; emits changed() before returning when the position really changes.
  void setPosition(int position);
  // True while the change being handled came from the user (mouse, keyboard), not setPosition.
  bool changedByUser() const { return !settingFromCode_; }

 Q_SIGNALS:
  void changed();

 private:
  bool settingFromCode_ = false;
};

}  // namespace varno
