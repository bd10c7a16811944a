// A track bar with synchronous change notification.
#include "ui/track_bar.h"

namespace varno {

TrackBar::TrackBar(const QString& name, int minimum, int maximum, int tickInterval, int position,
                   QWidget* parent)
    : QSlider(Qt::Horizontal, parent) {
  setObjectName(name);
  setRange(minimum, maximum);
  setTickInterval(tickInterval);
  setTickPosition(QSlider::TicksBelow);
  setPageStep(tickInterval);
  setValue(position);
  connect(this, &QSlider::valueChanged, this, [this] { Q_EMIT changed(); });
}

void TrackBar::setPosition(int position) {
  const bool outer = settingFromCode_;
  settingFromCode_ = true;
  setValue(position);  // QSlider clamps and emits only on a real change
  settingFromCode_ = outer;
}

}  // namespace varno
