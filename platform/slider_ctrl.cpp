#include "platform/slider_ctrl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstdint>
#include <optional>

namespace {

ScrollCode scrollCodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineRight;
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineLeft;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageRight;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageLeft;
    case QAbstractSlider::SliderToMinimum: return ScrollCode::Left;
    case QAbstractSlider::SliderToMaximum: return ScrollCode::Right;
    default: return ScrollCode::ThumbTrack;
  }
}

// A trackbar's keyboard: Up and Page Up move toward the minimum like Left,
// Down and Page Down toward the maximum like Right.
std::optional<QAbstractSlider::SliderAction> trackbarAction(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up: return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down: return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp: return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown: return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home: return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End: return QAbstractSlider::SliderToMaximum;
    default: return std::nullopt;
  }
}

}  // namespace

SliderCtrl::SliderCtrl(int controlId, NotificationSink& sink, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), controlId_(controlId), sink_(sink) {
  // A fresh slider covers 0 to 100, so a dialog that pushes a value of 100
  // before setting the range still finds it in place.
  setRange(0, 100);
  setTickPosition(QSlider::NoTicks);
  setTracking(true);
  connect(this, &QAbstractSlider::actionTriggered, this, &SliderCtrl::onActionTriggered);
}

void SliderCtrl::SetRange(int minimum, int maximum) {
  setRange(minimum, maximum);
}

void SliderCtrl::SetPos(int position) {
  setValue(position);
}

void SliderCtrl::onActionTriggered(int action) {
  // The slider announces an action before it takes on the new position. The
  // dialog's handler reads the position, so commit it first; the slider's own
  // commit afterwards then finds nothing left to do.
  setValue(sliderPosition());
  notify(scrollCodeOf(action));
}

void SliderCtrl::sliderChange(SliderChange change) {
  // A page is a fifth of the range, at least one step, whatever the range.
  if (change == SliderRangeChange) {
    const std::int64_t range = static_cast<std::int64_t>(maximum()) - minimum();
    setPageStep(static_cast<int>(std::max<std::int64_t>(1, range / 5)));
  }
  QSlider::sliderChange(change);
}

void SliderCtrl::keyPressEvent(QKeyEvent* event) {
  const std::optional<SliderAction> action = trackbarAction(event->key());
  if (!action) {
    QSlider::keyPressEvent(event);
    return;
  }
  event->accept();
  triggerAction(*action);
}

void SliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasDragging = isSliderDown();
  QSlider::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (wasDragging) notify(ScrollCode::ThumbPosition);
  notify(ScrollCode::EndScroll);
}

void SliderCtrl::keyReleaseEvent(QKeyEvent* event) {
  QSlider::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && trackbarAction(event->key())) notify(ScrollCode::EndScroll);
}

void SliderCtrl::notify(ScrollCode code) {
  sink_.scrolled(controlId_, true, code, value());
}
