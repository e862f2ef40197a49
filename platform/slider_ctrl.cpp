#include "platform/slider_ctrl.h"

#include <QKeyEvent>
#include <QMouseEvent>

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

bool movesSlider(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: return true;
    default: return false;
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

void SliderCtrl::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasDragging = isSliderDown();
  QSlider::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (wasDragging) notify(ScrollCode::ThumbPosition);
  notify(ScrollCode::EndScroll);
}

void SliderCtrl::keyReleaseEvent(QKeyEvent* event) {
  QSlider::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && movesSlider(event->key())) notify(ScrollCode::EndScroll);
}

void SliderCtrl::notify(ScrollCode code) {
  sink_.scrolled(controlId_, true, code, value());
}
