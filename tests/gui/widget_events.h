#pragma once

// Real input for widget tests where QTest has no ready-made call.

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>

#include "platform/slider_ctrl.h"

// Where the slider's handle is, in the slider's own coordinates.
inline QPoint handleCentre(SliderCtrl& slider) {
  QStyleOptionSlider option;
  option.initFrom(&slider);
  option.orientation = slider.orientation();
  option.minimum = slider.minimum();
  option.maximum = slider.maximum();
  option.sliderPosition = slider.sliderPosition();
  option.sliderValue = slider.value();
  return slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider).center();
}

// A mouse event of `type` at `at`, with the buttons held as given.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
