#pragma once

#include <QSlider>

#include "platform/notifications.h"

// A horizontal slider that reports every move by the user to its dialog as a
// horizontal scroll, and nothing when its position is set from code. Its
// keys: Left and Up one step down, Right and Down one step up, Page Up and
// Page Down a page down and up, Home and End to the ends.
class SliderCtrl : public QSlider {
  Q_OBJECT

 public:
  SliderCtrl(int controlId, NotificationSink& sink, QWidget* parent);

  // The position is always kept inside the range, also when the range shrinks.
  void SetRange(int minimum, int maximum);
  int GetRangeMin() const { return minimum(); }
  int GetRangeMax() const { return maximum(); }

  void SetPos(int position);
  int GetPos() const { return value(); }

  // Kept for the dialog's bookkeeping; the slider draws no tick marks.
  void SetTicFreq(int frequency) { ticFrequency_ = frequency; }
  int GetTicFreq() const { return ticFrequency_; }

  void SetLineSize(int size) { setSingleStep(size); }
  int GetLineSize() const { return singleStep(); }

 protected:
  // Every change of the range resets the page to a fifth of it (at least 1).
  void sliderChange(SliderChange change) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void onActionTriggered(int action);
  void notify(ScrollCode code);

  int controlId_ = 0;
  NotificationSink& sink_;
  int ticFrequency_ = 1;
};
