#pragma once

#include <QSlider>

#include "platform/notifications.h"

// A horizontal slider that reports every move by the user to its dialog as a
// horizontal scroll, and nothing when its position is set from code.
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
  void SetPageSize(int size) { setPageStep(size); }
  int GetPageSize() const { return pageStep(); }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void onActionTriggered(int action);
  void notify(ScrollCode code);

  int controlId_ = 0;
  NotificationSink& sink_;
  int ticFrequency_ = 1;
};
