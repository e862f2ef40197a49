#pragma once

// The run both loop benchmarks make: open the camera as the user would, tick
// every overlay element, let the loop settle, measure a stretch of it, then
// close the program.

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "app/varnix_dlg.h"
#include "platform/simple_controls.h"
#include "res/control_ids.h"

struct LoopRunSteps {
  std::function<void()> afterTicking;  // once the elements are on
  std::function<void()> atStart;       // the measured stretch begins
  std::function<void()> atEnd;         // and ends, before the program closes
};

// Returns the length of the measured stretch in seconds.
inline double runMeasuredStretch(CVarnixDlg& dialog, int warmUpMs, double seconds,
                                 const LoopRunSteps& steps) {
  QElapsedTimer stretch;
  QTimer::singleShot(0, [&] { dialog.SendCommand(ctl::OpenCamera); });
  QTimer::singleShot(200, [&] {
    for (int id : {ctl::Circle1Enable, ctl::Circle2Enable, ctl::Circle3Enable, ctl::CrosshairEnable})
      dialog.checkBox(id)->setChecked(true);
    if (steps.afterTicking) steps.afterTicking();
  });
  QTimer::singleShot(warmUpMs, [&] {
    if (steps.atStart) steps.atStart();
    stretch.start();
  });
  QTimer::singleShot(warmUpMs + static_cast<int>(seconds * 1000), [&] {
    if (steps.atEnd) steps.atEnd();
    dialog.SendCommand(ctl::CloseProgram);
  });
  dialog.DoModal();
  return static_cast<double>(stretch.elapsed()) / 1000.0;
}
